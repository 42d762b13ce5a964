#pragma once
// Qt Charts, Qt Print Support and the sound libraries are linked by parts of
// the program kept in files of their own, beside the windows program, and
// loaded the first time a chart is drawn, a printer chosen or a sound
// played or recorded. A session that never uses them never loads them, and
// so never spends their memory. Each file has one entry point, which makes
// its service; the caller owns it, and the file stays loaded to the end.

#include <QtGlobal>

namespace zp {

class ChartService;
class PrintService;
class SoundService;

struct PartFile {
    const char* file;
    const char* entry;
};

inline constexpr PartFile kChartPart{"zorvik-planner-chart.so", "zorvikMakeChartService"};
inline constexpr PartFile kPrintPart{"zorvik-planner-print.so", "zorvikMakePrintService"};
inline constexpr PartFile kSoundPart{"zorvik-planner-sound.so", "zorvikMakeSoundService"};

} // namespace zp

extern "C" {
Q_DECL_EXPORT zp::ChartService* zorvikMakeChartService();
Q_DECL_EXPORT zp::PrintService* zorvikMakePrintService();
Q_DECL_EXPORT zp::SoundService* zorvikMakeSoundService();
}
