// The large library that the benchmarks load: 5 000 modems with 10 scripts each, bodies of 0.4 to
// 1.2 KB of hexadecimal text (about 40 MB), names in Russian in no particular order, the same file
// on every run.
#pragma once

#include <random>
#include <string>

#include "text/cp1251.h"
#include "xml/xp_obj_model.h"

namespace kelvo {

inline void GenerateLibrary(const std::string& path) {
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

}  // namespace kelvo
