#include "sound/MidiOut.h"

#include <cstring>

#include "sound/MidiDrv.h"

namespace kelva {

TMyMidiHdr::TMyMidiHdr(uint16_t length)
    : m_data(length > 0 ? std::make_unique<uint8_t[]>(length) : nullptr), m_length(length)
{
}

TMidiOutput::TMidiOutput(MidiPorts& ports) : m_ports(ports) {}

TMidiOutput::~TMidiOutput()
{
    std::lock_guard lock(m_mutex);
    if (m_port) m_port->Close();  // a refusal can't be reported from here; the port goes anyway
}

int32_t TMidiOutput::DeviceID() const
{
    std::lock_guard lock(m_mutex);
    return m_deviceId;
}

void TMidiOutput::SetDeviceID(int32_t id)
{
    std::lock_guard lock(m_mutex);
    if (m_port) throw EmidioutputError(kErrorDeviceIdWhileOpen);
    // Numbers below −1 pass this test, as they always have, and are refused by the query.
    if (id != -1 && id >= m_ports.Count()) throw EmidioutputError(kErrorInvalidDeviceId);
    m_deviceId = id;
    MidiPortName name = m_ports.Name(id);
    Check(name.Result);
    m_productName = std::move(name.Name);
}

std::string TMidiOutput::ProductName() const
{
    std::lock_guard lock(m_mutex);
    return m_productName;
}

bool TMidiOutput::Open()
{
    std::lock_guard lock(m_mutex);
    if (m_port) return true;
    MidiPortOpening opening = m_ports.Open(m_deviceId);
    m_lastResult = opening.Result;
    if (opening.Result != kMidiOk || !opening.Port) return false;
    m_port = std::move(opening.Port);
    return true;
}

bool TMidiOutput::Close()
{
    std::lock_guard lock(m_mutex);
    if (!m_port) return false;
    Check(m_port->Close());
    m_port.reset();
    return true;
}

bool TMidiOutput::IsOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_port != nullptr;
}

void TMidiOutput::SendShort(uint8_t status, uint8_t data1, uint8_t data2)
{
    std::lock_guard lock(m_mutex);
    Check(m_port ? m_port->SendShort(PackMidiShort(status, data1, data2)) : MidiResult{kMidiErrorNotOpen});
}

void TMidiOutput::SendLong(const uint8_t* data, uint16_t length)
{
    std::function<void(TMidiOutput&)> notice;
    {
        std::lock_guard lock(m_mutex);
        // The header owns the bytes while the port plays them, so the caller's buffer
        // may go at once. Our ports are done when they return: the header is released
        // here, where a port that played in the background would hand it back later.
        TMyMidiHdr header(length);
        if (length > 0) std::memcpy(header.Data(), data, length);
        Check(m_port ? m_port->SendLong(header.Data(), header.Length()) : MidiResult{kMidiErrorNotOpen});
        notice = m_onmidioutput;
    }
    if (notice) notice(*this);
}

void TMidiOutput::SendEvent(const TMyMidiEvent& event)
{
    if (!IsOpen()) throw EmidioutputError(kErrorNotOpen);
    if (event.Sysex)
        SendLong(event.Sysex.get(), event.SysexLength);
    else
        SendShort(event.Status, event.Data1, event.Data2);
}

void TMidiOutput::SetOnmidioutput(std::function<void(TMidiOutput&)> handler)
{
    std::lock_guard lock(m_mutex);
    m_onmidioutput = std::move(handler);
}

MidiResult TMidiOutput::LastResult() const
{
    std::lock_guard lock(m_mutex);
    return m_lastResult;
}

std::string TMidiOutput::ErrorText(MidiResult code) const
{
    return m_ports.ErrorText(code).value_or(kErrorOutOfRange);
}

void TMidiOutput::Check(MidiResult result)
{
    m_lastResult = result;
    if (result != kMidiOk) throw EmidioutputError(ErrorText(result));
}

}  // namespace kelva
