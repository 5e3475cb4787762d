// Small picture files that claim far more than they hold: the shapes of attack the
// picture readers must refuse cheaply. Built here rather than stored, so their sizes and
// counts can follow the readers' limits.
#pragma once

#include <cstdint>
#include <vector>

namespace kelva::test {

// A progressive greyscale JPEG of `width` x `height` whose DC scan is followed by
// `acScans` AC scans (coefficient 1, 2, ... each), every AC scan only end-of-band runs: a
// few bytes each, yet each one a pass over every block. With `emptyScan` >= 0 that AC
// scan (counted from 0) has no data at all.
std::vector<uint8_t> ManyScanJpeg(int width, int height, int acScans, int emptyScan = -1);

// Writes `width` and `height` into the picture's frame header, whatever it holds.
void SetFrameSize(std::vector<uint8_t>& jpeg, int width, int height);

// The picture's bytes with the data of its first scan taken out (the file goes on with
// the end marker), and the same with the frame marked as arithmetic-coded.
std::vector<uint8_t> WithoutScanData(const std::vector<uint8_t>& jpeg);
std::vector<uint8_t> ArithmeticWithoutScanData(const std::vector<uint8_t>& jpeg);

// An 8-bit run-length BMP of `width` x `height` whose codes end the bitmap at once:
// 56 bytes for any size.
std::vector<uint8_t> EmptyRunLengthBmp(int width, int height);

}  // namespace kelva::test
