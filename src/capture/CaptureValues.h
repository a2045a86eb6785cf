#pragma once

#include "core/plot/PlotCsv.h"
#include "core/plot/PlotSampler.h"
#include "core/traffic/TrafficListener.h"

#include <cstdio>
#include <string>
#include <vector>

struct DecodedRecord;

// --values: the samples of the channels named with --value (MODBUS registers of decoded
// answers, numbers in text lines) written as CSV, a row per moment, handed to the system
// each second as the other files are. Runs on the capture's thread.
class CaptureValues : public TrafficListener
{
public:
    CaptureValues(std::vector<PlotChannel> channels, std::string path);
    ~CaptureValues() override;
    CaptureValues(const CaptureValues&) = delete;
    CaptureValues& operator=(const CaptureValues&) = delete;

    // Creates the file and writes its header; false with Error() when it cannot.
    bool Open();
    void OnRecord(const DecodedRecord& record);
    void OnScriptValue(const std::string& name, double value, std::int64_t timeUs);
    void OnTraffic(const TrafficMessage& message) override;
    bool Flush();
    bool Close();

    const std::vector<PlotSource>& Channels() const { return m_sampler.Channels(); }
    const std::string& Error() const { return m_error; }

private:
    void Write(const std::string& text);

    std::string m_path;
    PlotSampler m_sampler;
    PlotCsv m_csv;
    std::FILE* m_file = nullptr;
    std::string m_error;
};
