// A drive that always holds one disc image (a CUE sheet, or a folder of ripped tracks).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/CdDrive.h"
#include "sound/DiscImage.h"

namespace kelva {

class DiscImageDrive final : public CdDrive {
public:
    DiscImageDrive(std::string name, std::unique_ptr<DiscImage> disc)
        : m_name(std::move(name)), m_disc(std::move(disc))
    {
    }

    const std::string& Name() const override { return m_name; }
    bool Open(std::string&) override
    {
        m_open = true;
        return true;
    }
    void Close() override { m_open = false; }
    CdDiscState DiscState() override { return m_open ? CdDiscState::Ready : CdDiscState::NoDisc; }
    std::vector<CdTrack> Tracks() override { return m_open ? m_disc->Tracks() : std::vector<CdTrack>(); }
    std::unique_ptr<CdAudioStream> ReadAudio(int32_t start, int32_t end, std::string& error) override
    {
        if (!m_open) {
            error = m_name + ": the drive is not open";
            return nullptr;
        }
        return m_disc->ReadAudio(start, end, error);
    }

private:
    const std::string m_name;
    const std::unique_ptr<DiscImage> m_disc;
    bool m_open = false;
};

}  // namespace kelva
