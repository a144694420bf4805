// Start-up time of the main window on a generated library of 5 000 modems with 10 scripts each
// (about 40 MB, the library of the XML benchmark), next to the XML load alone in the same run.
//   startup_bench [FOLDER]   generates FOLDER/kelvo.xml (a temporary folder when none is given),
//                            then prints the best of 3 of each measurement in seconds.
// Goal: the filled tree costs no more than the XML load again (start-up / load <= 2).
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/modem_library.h"
#include "text/cp1251.h"
#include "ui/kelvo_dlg.h"
#include "ui/kelvo_tree_view.h"
#include "xml/xp_obj_model.h"

using namespace kelvo;
using Clock = std::chrono::steady_clock;

namespace {

void Generate(const std::string& path) {
  TXpObjModel model;
  model.Document().WriteNonAsciiRaw = true;
  model.LoadMemory("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Modems Version=\"1.0\"/>");
  TXpElement* root = model.omGetDocumentElement();
  std::mt19937 random(42);
  const char* hex = "0123456789ABCDEF";
  for (int m = 0; m < 5000; ++m) {
    TXpElement* modem = root->CreateChildElement(u"Modem");
    modem->SetAttribute(u"Name",
                        Utf8ToUtf16("Модем " + std::to_string(random() % 100000) + "-" + std::to_string(m)));
    for (int s = 0; s < 10; ++s) {
      TXpElement* script = modem->CreateChildElement(u"Script");
      script->SetAttribute(u"Name", Utf8ToUtf16("Сценарий " + std::to_string(random() % 1000)));
      std::u16string body(400 + random() % 800, u'0');
      for (auto& c : body) c = static_cast<char16_t>(hex[random() % 16]);
      script->SetAttribute(u"Body", std::move(body));
      script->SetAttribute(u"Description", u"");
    }
  }
  model.SaveToFile(path);
}

// The best of 3 times of make(), each result destroyed outside the measured time.
template <class F>
double BestOf3(F make) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = Clock::now();
    auto made = make();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::filesystem::path dir = argc > 1 ? std::filesystem::path(argv[1])
                                       : std::filesystem::temp_directory_path() / "kelvo-startup-bench";
  std::filesystem::create_directories(dir);
  std::string path = (dir / "kelvo.xml").string();
  Generate(path);
  double mb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;

  double xmlLoad = BestOf3([&] {
    auto model = std::make_unique<TXpObjModel>();
    if (!model->LoadDataSource(path)) std::exit(1);
    return model;
  });
  double libraryLoad = BestOf3([&] {
    auto library = std::make_unique<TModemLibrary>();
    library->Load(path, {});
    return library;
  });
  int nodes = 0;
  double startUp = BestOf3([&] {
    auto window = std::make_unique<TKelvoDlg>(dir.string(), std::vector<std::string>{});
    nodes = window->TreeView->topLevelItemCount();
    return window;
  });
  std::printf(
      "file_mb %.1f\nmodems_in_tree %d\nxml_load_s %.3f\nlibrary_load_and_validate_s %.3f\n"
      "startup_to_filled_tree_s %.3f\nstartup_vs_xml_load %.2f  (goal <= 2)\n",
      mb, nodes, xmlLoad, libraryLoad, startUp, startUp / xmlLoad);
  if (argc <= 1) std::filesystem::remove_all(dir);
  return 0;
}
