#include "ui/LoadedParts.h"

#include "ui/modules/PartEntries.h"

#include <QLabel>
#include <QLibrary>

namespace zp {

template <class Service>
Service* LoadedPart<Service>::get()
{
    if (tried_)
        return service_.get();
    tried_ = true;
    // The library stays loaded when the QLibrary object goes: the service
    // made from it lives on.
    QLibrary library(directory_ + QLatin1Char('/') + QString::fromLatin1(part_.file));
    if (!library.load()) {
        error_ = library.errorString();
    } else if (auto make = reinterpret_cast<Service* (*)()>(library.resolve(part_.entry))) {
        service_.reset(make());
    } else {
        error_ = library.errorString();
    }
    if (!service_)
        qWarning("zorvik-planner: %s", qPrintable(error_));
    return service_.get();
}

template class LoadedPart<ChartService>;
template class LoadedPart<PrintService>;
template class LoadedPart<SoundService>;

// --- Charts -----------------------------------------------------------------

namespace {

class UnavailableChart : public ChartPanel {
public:
    UnavailableChart(QWidget* parent, const QString& reason)
        : label_(new QLabel(QStringLiteral("The chart cannot be drawn: ") + reason, parent))
    {
        label_->setObjectName(QStringLiteral("Graph1"));
        label_->setAlignment(Qt::AlignCenter);
        label_->setWordWrap(true);
    }
    QWidget* widget() override { return label_; }
    void plot(std::span<const ChartSet>, int, bool, std::optional<double>) override {}
    void setTitles(const QString&, const QString&, const QString&) override {}
    void setPointNumbersVisible(bool) override {}

private:
    QLabel* label_;
};

} // namespace

LoadedChartService::LoadedChartService(const QString& directory) : part_(directory, kChartPart) {}

std::unique_ptr<ChartPanel> LoadedChartService::createChart(QWidget* parent)
{
    if (ChartService* charts = part_.get())
        return charts->createChart(parent);
    return std::make_unique<UnavailableChart>(parent, part_.error());
}

// --- Printing ---------------------------------------------------------------

LoadedPrintService::LoadedPrintService(const QString& directory, MessageBoxService& messages)
    : part_(directory, kPrintPart), messages_(messages)
{
}

PrintService* LoadedPrintService::service()
{
    PrintService* printing = part_.get();
    if (!printing)
        messages_.msgBox(QStringLiteral("Printing is not available: ") + part_.error(), MsgStyle::Exclamation);
    return printing;
}

std::unique_ptr<Printer> LoadedPrintService::choosePrinter(const QString& documentName)
{
    PrintService* printing = service();
    return printing ? printing->choosePrinter(documentName) : nullptr;
}

void LoadedPrintService::preview(const QString& documentName, const std::function<void(Printer&)>& render)
{
    if (PrintService* printing = service())
        printing->preview(documentName, render);
}

// --- Sound ------------------------------------------------------------------

LoadedSound::LoadedSound(const QString& directory) : part_(directory, kSoundPart) {}

bool LoadedSound::openDevice()
{
    SoundService* sound = part_.get();
    return sound && sound->openDevice();
}

bool LoadedSound::canRecord() const
{
    return part_.ifLoaded() && part_.ifLoaded()->canRecord();
}

bool LoadedSound::canPlay() const
{
    return part_.ifLoaded() && part_.ifLoaded()->canPlay();
}

bool LoadedSound::startRecording(const QString& path)
{
    return part_.ifLoaded() && part_.ifLoaded()->startRecording(path);
}

bool LoadedSound::isRecording() const
{
    return part_.ifLoaded() && part_.ifLoaded()->isRecording();
}

RecordingResult LoadedSound::stopRecording()
{
    return part_.ifLoaded() ? part_.ifLoaded()->stopRecording() : RecordingResult{};
}

double LoadedSound::inputLevel() const
{
    return part_.ifLoaded() ? part_.ifLoaded()->inputLevel() : 0;
}

void LoadedSound::closeDevice()
{
    if (SoundService* sound = part_.ifLoaded())
        sound->closeDevice();
}

void LoadedSound::play(const QString& path)
{
    if (SoundService* sound = part_.get())
        sound->play(path);
}

void LoadedSound::stopPlaying()
{
    if (SoundService* sound = part_.ifLoaded())
        sound->stopPlaying();
}

} // namespace zp
