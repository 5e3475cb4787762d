#!/usr/bin/env python3
"""The layering check catches each spelling of a forbidden include and passes clean code."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layering  # noqa: E402

FORBIDDEN = [
    "#include <SDL.h>",
    "#include <SDL2/SDL.h>",
    '#include "SDL_events.h"',
    "#  include <alsa/asoundlib.h>",
    "#include <sys/asoundlib.h>",
    "#include <cdio/paranoia/paranoia.h>",
    "#include <cdio/cdda.h>",
    "#include <fluidsynth.h>",
    "#include <fontconfig/fontconfig.h>",
    "#include <ft2build.h>",
    "#include FT_FREETYPE_H",
    "#include <freetype2/freetype/freetype.h>",
    '#include "platform/sdl/SdlStageWindow.h"',
    '#include "platform/headless/ManualClock.h"',
    '#include "../platform/linux/SteadyClock.h"',
    '#include "platform/./cdio/CdioDrive.h"',
    '#include "app/PlayerMain.h"',
    "#include /* hidden */ <SDL.h>",
    "#include \\\n    <SDL.h>",
    "#include_next <SDL.h>",
    "#if __has_include(<fluidsynth.h>)\n#endif",
    "#define AUDIO_HEADER <SDL2/SDL_audio.h>",
    "import <SDL.h>;",
]

ALLOWED = [
    '#include "platform/Window.h"',
    '#include "platform/CdDrive.h"',
    '#include "sound/CdDriveList.h"',
    '#include "sound/AudioMixer.h"',
    "#include <cstdio>",
    "// #include <SDL.h>",
    "/* #include <SDL.h>\n   #include <alsa/asoundlib.h> */",
    'const char* kName = "SDL.h";',
    '#define kDriver "sdl"',
]


class CheckLayeringTest(unittest.TestCase):
    def faults(self, files):
        with tempfile.TemporaryDirectory() as root:
            for relative, text in files.items():
                path = os.path.join(root, relative)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as out:
                    out.write(text + "\n")
            return check_layering.check_tree(root)

    def test_every_spelling_of_a_forbidden_include_is_caught_with_its_line(self):
        for line in FORBIDDEN:
            with self.subTest(line=line):
                faults = self.faults({"core/Stage.cpp": "// first line\n" + line})
                self.assertTrue(faults)
                self.assertIn("core/Stage.cpp:2:", faults[0])

    def test_interfaces_portable_headers_comments_and_strings_pass(self):
        for line in ALLOWED:
            with self.subTest(line=line):
                self.assertEqual(self.faults({"core/Stage.cpp": line}), [])

    def test_every_portable_folder_is_checked_and_backends_are_not(self):
        for folder in check_layering.PORTABLE_FOLDERS:
            with self.subTest(folder=folder):
                self.assertTrue(self.faults({folder + "/deep/Part.h": "#include <SDL.h>"}))
        self.assertEqual(self.faults({"platform/sdl/Window.cpp": "#include <SDL.h>",
                                      "app/PlayerMain.cpp": '#include "platform/sdl/SdlStageWindow.h"'}), [])


if __name__ == "__main__":
    unittest.main()
