// The longest stall of the window's event loop during a run, measured in the same process by a
// 10 ms timer: while the run searches a silent modem (all ten speeds, about 15 s) and while a script
// sits in Sleep(5000). Goal: no stall longer than 50 ms (a run on the window's thread held it for a
// whole read time-out, 1.5 s).
//   run_stall_bench          (under a display, or QT_QPA_PLATFORM=offscreen)
// Prints, for each case, the run's duration, the number of ticks, the longest gap between two ticks,
// the 99th percentile of the gaps and how many were longer than 50 ms; and the same for the timer
// alone, without a run, for 5 s: what the machine's own load costs the event loop.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/hex_text.h"
#include "serial/simulator_process.h"
#include "text/cp1251.h"
#include "ui/kelvo_app.h"
#include "ui/kelvo_tree_view.h"
#include "xml/temp_dir.h"

using namespace kelvo;
using kelvo::testing::TempDir;
using kelvo::testing::TSimulator;
using kelvo::testing::WriteBytes;

namespace {

// The main window answers every question with its default instead of showing a box.
class TQuietKelvoDlg : public TKelvoDlg {
 public:
  using TKelvoDlg::TKelvoDlg;
  TModalResult MessageBox(const std::string&, TMsgIcon, TMsgButtons) override { return TModalResult::mrOk; }
};

struct TStall {
  qint64 RunMs = 0;
  int Ticks = 0;
  qint64 LongestGapMs = 0;
  std::vector<qint64> Gaps;
};

// Ticks a 10 ms timer until done() says so (asked every millisecond).
template <class F>
TStall Tick(F done) {
  TStall stall;
  QElapsedTimer clock;
  qint64 last = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    qint64 now = clock.elapsed();
    stall.Gaps.push_back(now - last);
    stall.LongestGapMs = std::max(stall.LongestGapMs, now - last);
    last = now;
    ++stall.Ticks;
  });
  QEventLoop loop;
  QTimer check;
  QObject::connect(&check, &QTimer::timeout, [&] {
    if (done(clock.elapsed())) loop.quit();
  });
  clock.start();
  tick.start(10);
  check.start(1);
  loop.exec();
  stall.RunMs = clock.elapsed();
  return stall;
}

// Runs the library's only script on the simulator's port and ticks a 10 ms timer until it ends.
TStall MeasureRun(const std::string& body, std::vector<std::string> simArgs) {
  TempDir dir;
  TempDir home;
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.File("config")));
  TSimulator sim(std::move(simArgs));
  WriteBytes(dir.File("kelvo.xml"),
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Modems>\r\n  <Modem Name=\"m\">\r\n"
             "    <Script Name=\"s\" Body=\"" +
                 TextToHex(Utf8ToAnsi(body)) + "\"/>\r\n  </Modem>\r\n</Modems>");
  qputenv("KELVO_PORTS", QByteArray::fromStdString(sim.Path));
  TKelvoWindows windows = CreateWindows<TQuietKelvoDlg>(dir.Path().string(), {});
  TKelvoDlg& main = *windows.KelvoDlg;
  main.show();
  main.SelectPort(sim.Path);
  main.TreeView->expandAll();
  main.TreeView->setCurrentItem(main.TreeView->topLevelItem(0)->child(0));

  main.Action(TKelvoAction::kaRunScript)->trigger();
  return Tick([&](qint64) { return !main.Core().Running(); });
}

void Print(const char* name, TStall s) {
  std::sort(s.Gaps.begin(), s.Gaps.end());
  qint64 p99 = s.Gaps.empty() ? 0 : s.Gaps[s.Gaps.size() * 99 / 100];
  long over50 = std::count_if(s.Gaps.begin(), s.Gaps.end(), [](qint64 g) { return g > 50; });
  std::printf("%-34s %6lld ms  ticks %5d  longest gap %4lld ms  99%% %3lld ms  gaps > 50 ms: %ld\n", name,
              static_cast<long long>(s.RunMs), s.Ticks, static_cast<long long>(s.LongestGapMs),
              static_cast<long long>(p99), over50);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Print("no run (the machine's own stalls)", Tick([](qint64 ms) { return ms >= 5000; }));
  TStall search = MeasureRun("Send(\"ATZ\");", {"--silent"});
  Print("silent modem, search of ten speeds", search);
  TStall sleep = MeasureRun("Send(\"AT\"); Sleep(5000);", {});
  Print("script in Sleep(5000)", sleep);
  return search.LongestGapMs <= 50 && sleep.LongestGapMs <= 50 ? 0 : 1;
}
