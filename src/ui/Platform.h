#pragma once
#include "ui/ChartService.h"
#include "ui/Clipboard.h"
#include "ui/Clock.h"
#include "ui/DateOrderSource.h"
#include "ui/FileDialogs.h"
#include "ui/FontDialog.h"
#include "ui/MessageBox.h"
#include "ui/NumberDialog.h"
#include "ui/Printer.h"
#include "ui/ProgressDialog.h"
#include "ui/ScreenMetrics.h"
#include "ui/SystemFacts.h"
#include "ui/SoundService.h"

namespace zp {

// The platform services the program talks to, handed to every window.
// The program fills it with the Qt implementations, tests with doubles.
struct Platform {
    MessageBoxService& messages;
    Clock& clock;
    DateOrderSource& dateOrder;
    ScreenMetrics& screen;
    FileDialogs& fileDialogs;
    FontDialog& fontDialog;
    ClipboardService& clipboard;
    PrintService& printing;
    SystemFactsSource& systemFacts;
    SoundService& sound;
    NumberDialog& numberDialog;
    ChartService& charts;
    ProgressDialogs& progress;
};

} // namespace zp
