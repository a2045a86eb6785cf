#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What MODBUS RTU frames are made of: the layouts of the functions whose length the frame
// itself gives, the limits their fields keep, and the check code. The framer, the describer
// and the pairer build on these.

enum class ModbusForm
{
    Request,
    Response,
    Exception,
    Other,
    Noise
};

// An RTU frame is at most 256 bytes; slave addresses above 247 are reserved.
constexpr std::size_t kModbusMaxFrame = 256;
constexpr std::size_t kModbusMinFrame = 4;
constexpr std::uint8_t kModbusMaxSlave = 247;

// One layout a frame may have: its form and length. The length of some layouts is given by
// a byte count inside the frame: m_length stays 0 until byte m_need has come.
struct ModbusLayout
{
    ModbusForm m_form = ModbusForm::Request;
    std::size_t m_length = 0;
    std::size_t m_need = 0;
};

// The layouts that a frame beginning with bytes (available of them, at least 2) may have,
// by its function code: request and response, or the exception response; none for a
// function whose length the frame does not give. Layouts longer than a frame can be are
// left out. Returns how many were written to out.
int ModbusLayouts(const std::uint8_t* bytes, std::size_t available, ModbusLayout out[2]);

// The functions whose layout is known: 1 to 6, 15, 16, 22, 23.
bool ModbusHasLayout(std::uint8_t function);
// Request and response differ in layout (5, 6 and 22 answer with an echo).
bool ModbusTwoLayouts(std::uint8_t function);
// Functions without a layout here that a device may still use: the other public codes
// and the user-defined ranges 65 to 72 and 100 to 110.
bool ModbusKnownOther(std::uint8_t function);

// Whether the fields of a complete frame of that form keep the limits of the protocol:
// quantities within range, byte counts that agree with them, a coil value ON or OFF, an
// exception code that exists. Random bytes rarely do.
bool ModbusPlausible(const std::uint8_t* frame, std::size_t length, ModbusForm form);

// The CRC register over bytes; a frame carries it low byte first.
std::uint16_t ModbusCrc(const std::uint8_t* bytes, std::size_t count);
// The check code that the last two bytes of a frame hold, as a register value.
std::uint16_t ModbusFrameCrc(const std::uint8_t* frame, std::size_t length);
bool ModbusCrcOk(const std::uint8_t* frame, std::size_t length);

// A frame, or bytes that form none (m_form Noise), as the framer hands them on.
struct ModbusFrame
{
    ModbusForm m_form = ModbusForm::Noise;
    std::vector<std::uint8_t> m_bytes; // with the check code
    bool m_crcOk = false;
    // Estimates of when the first and the last byte were on the line, in the caller's
    // milliseconds.
    std::int64_t m_startMs = 0;
    std::int64_t m_endMs = 0;

    std::uint8_t Slave() const { return m_bytes.empty() ? 0 : m_bytes[0]; }
    std::uint8_t Function() const { return m_bytes.size() < 2 ? 0 : m_bytes[1]; }
    bool IsAnswer() const
    {
        return m_form == ModbusForm::Response || m_form == ModbusForm::Exception;
    }
};
