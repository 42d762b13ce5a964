#pragma once
// The chart, printing and sound services of the program, each loaded from
// its part file the first time it is used (see ui/modules/PartEntries.h).
// When a part cannot be loaded the program goes on without it: a chart
// panel says why, printing says why in a message box, and there is no
// sound device.

#include "ui/ChartService.h"
#include "ui/MessageBox.h"
#include "ui/Printer.h"
#include "ui/SoundService.h"

#include <QString>
#include <memory>

namespace zp {

struct PartFile;

// The service of one part file in `directory`, made on the first call of
// get(); null, with the reason in error(), when the file cannot be loaded
// or has no entry point. A failed load is not tried again.
template <class Service>
class LoadedPart {
public:
    LoadedPart(QString directory, const PartFile& part) : directory_(std::move(directory)), part_(part) {}
    Service* get();
    Service* ifLoaded() const { return service_.get(); }
    const QString& error() const { return error_; }

private:
    QString directory_;
    const PartFile& part_;
    std::unique_ptr<Service> service_;
    QString error_;
    bool tried_ = false;
};

class LoadedChartService : public ChartService {
public:
    explicit LoadedChartService(const QString& directory);
    std::unique_ptr<ChartPanel> createChart(QWidget* parent) override;

private:
    LoadedPart<ChartService> part_;
};

class LoadedPrintService : public PrintService {
public:
    LoadedPrintService(const QString& directory, MessageBoxService& messages);
    std::unique_ptr<Printer> choosePrinter(const QString& documentName) override;
    void preview(const QString& documentName, const std::function<void(Printer&)>& render) override;

private:
    PrintService* service();
    LoadedPart<PrintService> part_;
    MessageBoxService& messages_;
};

// Asking whether it can record, or stopping, never loads the part: before
// the device is opened there is nothing to ask or stop.
class LoadedSound : public SoundService {
public:
    explicit LoadedSound(const QString& directory);
    bool openDevice() override;
    bool canRecord() const override;
    bool canPlay() const override;
    bool startRecording(const QString& path) override;
    bool isRecording() const override;
    RecordingResult stopRecording() override;
    double inputLevel() const override;
    void closeDevice() override;
    void play(const QString& path) override;
    void stopPlaying() override;

private:
    LoadedPart<SoundService> part_;
};

} // namespace zp
