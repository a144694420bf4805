#include "app/function_reference.h"

#include <cctype>

#include "app/script_host.h"
#include "script/lib/system_library.h"

namespace kelvo {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

template <class TEntry>
void Append(std::vector<TFunctionReference>& out, std::span<const TEntry> table, bool host) {
  for (const TEntry& e : table) out.push_back({DeclaredName(e.Syntax), e.Syntax, e.Category, host, &e.Doc});
}

// The categories in the order of the page; Kelvo's own functions come first.
constexpr std::string_view kCategories[] = {"",         "ctConv", "ctFormat", "ctDate",
                                            "ctString", "ctMath", "ctOther"};

std::string EscapeHtml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A description's text as HTML: `names` in code type.
std::string MarkedHtml(std::string_view text) {
  std::string out;
  bool inCode = false;
  for (char c : EscapeHtml(text)) {
    if (c == '`') {
      out += inCode ? "</code>" : "<code>";
      inCode = !inCode;
    } else {
      out += c;
    }
  }
  if (inCode) out += "</code>";
  return out;
}

std::string Unmarked(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '`') out += c;
  return out;
}

std::string EntryHtml(const TFunctionReference& f) {
  const std::string anchor = FunctionAnchor(f.Name);
  std::string html = "<h3 id=\"" + anchor + "\"><a name=\"" + anchor + "\"></a>" + f.Name + "</h3>\n";
  html += "<pre class=\"syntax\">" + EscapeHtml(f.Syntax) + "</pre>\n";
  html += "<p>" + MarkedHtml(f.Doc->Text) + "</p>\n";
  if (*f.Doc->Errors != '\0') html += "<p><b>Ошибки.</b> " + MarkedHtml(f.Doc->Errors) + "</p>\n";
  html += "<p>Пример:</p>\n<pre class=\"example\">" + EscapeHtml(f.Doc->Example) + "</pre>\n";
  html += f.Host ? "<p>Протокол на симуляторе modemsim (после строки «модем обнаружен»):</p>\n"
                 : "<p>Выводит:</p>\n";
  html += "<pre class=\"output\">" + EscapeHtml(f.Doc->Output) + "</pre>\n";
  return html;
}

std::string CategoryAnchor(std::string_view category) {
  return category.empty() ? std::string("cat-kelvo") : "cat-" + std::string(category.substr(2));
}

const char* const kPageHead = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>Функции сценариев — справочник Kelvo</title>
<style>
body { font-family: sans-serif; margin: 12px; }
h1 { color: #1f3f80; }
h2 { color: #1f3f80; border-bottom: 1px solid #c0c8d8; }
h3 { color: #204070; margin-bottom: 2px; }
pre { background: #f3f5f9; border: 1px solid #d0d6e2; padding: 6px; font-family: monospace; }
pre.syntax { background: #e6ebf4; font-weight: bold; }
pre.output { background: #f4f8ee; }
code { font-family: monospace; color: #303060; }
</style>
</head>
<body>
<p><a href="kelvo.html">Справка Kelvo</a> · <a href="kelvo-jscript.html">Язык JScript</a> ·
<a href="kelvo-cppscript.html">C++Script</a> · Функции сценариев</p>
<h1>Функции сценариев</h1>
<p>Сценарию доступны функции Kelvo для работы с модемом и пользователем и системная библиотека:
преобразования, форматирование, даты, строки, математика. Имена функций пишутся в любом регистре
(<code>uppercase</code> и <code>Uppercase</code> — одно и то же). Аргументы в объявлениях записаны
как <code>имя: Тип</code>; <code>var</code> перед параметром значит, что функция записывает в него
результат, поэтому передавать нужно переменную.</p>
<p>Примеры системных функций печатают результат процедурой <code>Print</code> программы
<code>kelvo-script</code> (<code>kelvo-script пример.js</code>); в сценарии Kelvo посмотреть значение
можно через <code>ShowMessage</code>. Числа и даты показаны по русским настройкам системы
(десятичная запятая, дата <code>дд.мм.гггг</code>). Примеры функций Kelvo показывают протокол
выполнения на симуляторе модема <code>modemsim</code>. Каждый пример проверяется тестами при
сборке программы.</p>
<p>Полный список функций печатает <code>kelvo-script --functions</code>, одну функцию целиком —
<code>kelvo-script --functions Имя</code>. В редакторе сценариев Ctrl+Space дополняет имя, после
<code>(</code> появляется подсказка с объявлением, F1 открывает статью о функции под курсором.</p>
)";

}  // namespace

const std::vector<TFunctionReference>& FunctionReferences() {
  static const std::vector<TFunctionReference> all = [] {
    std::vector<TFunctionReference> out;
    Append(out, TScriptHost::Functions(), true);
    Append(out, SystemFunctions(), false);
    return out;
  }();
  return all;
}

const TFunctionReference* FindFunctionReference(std::string_view name) {
  for (const TFunctionReference& f : FunctionReferences())
    if (SameNameIgnoringCase(f.Name, name)) return &f;
  return nullptr;
}

std::string DeclaredName(std::string_view syntax) {
  size_t p = syntax.find(' ');
  if (p == std::string_view::npos) return {};
  while (p < syntax.size() && syntax[p] == ' ') ++p;
  size_t end = p;
  while (end < syntax.size() && (std::isalnum(static_cast<unsigned char>(syntax[end])) || syntax[end] == '_'))
    ++end;
  return std::string(syntax.substr(p, end - p));
}

std::string CategoryTitle(std::string_view category) {
  if (category.empty()) return "Функции Kelvo: модем и пользователь";
  if (category == "ctConv") return "Преобразования";
  if (category == "ctFormat") return "Форматирование";
  if (category == "ctDate") return "Даты и время";
  if (category == "ctString") return "Строки";
  if (category == "ctMath") return "Математика";
  if (category == "ctOther") return "Прочие";
  return std::string(category);
}

std::string FunctionAnchor(std::string_view name) {
  std::string anchor = "fn-";
  for (char c : name) anchor += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return anchor;
}

std::string FirstSentence(std::string_view text) {
  std::string plain = Unmarked(text);
  // A full stop ends the sentence only when a space follows, so "1.5" and "т. д." stay whole
  // up to the first real end.
  for (size_t i = 0; i + 1 < plain.size(); ++i)
    if (plain[i] == '.' && plain[i + 1] == ' ') return plain.substr(0, i + 1);
  return plain;
}

std::string FunctionsPageHtml() {
  std::string html = kPageHead;
  html += "<h2>Содержание</h2>\n";
  for (std::string_view category : kCategories) {
    html += "<p><b><a href=\"#" + CategoryAnchor(category) + "\">" + CategoryTitle(category) + "</a>:</b> ";
    bool first = true;
    for (const TFunctionReference& f : FunctionReferences()) {
      if (f.Category != category) continue;
      html +=
          (first ? "" : ", ") + std::string("<a href=\"#") + FunctionAnchor(f.Name) + "\">" + f.Name + "</a>";
      first = false;
    }
    html += "</p>\n";
  }
  for (std::string_view category : kCategories) {
    const std::string anchor = CategoryAnchor(category);
    html.append("\n<h2 id=\"").append(anchor).append("\"><a name=\"").append(anchor).append("\"></a>");
    html.append(CategoryTitle(category)).append("</h2>\n");
    for (const TFunctionReference& f : FunctionReferences())
      if (f.Category == category) html += EntryHtml(f);
  }
  html += "\n</body>\n</html>\n";
  return html;
}

std::string FunctionListText() {
  std::string text;
  for (std::string_view category : kCategories) {
    text += (text.empty() ? "" : "\n") + CategoryTitle(category) + "\n";
    for (const TFunctionReference& f : FunctionReferences())
      if (f.Category == category) text += "  " + f.Syntax + "\n      " + FirstSentence(f.Doc->Text) + "\n";
  }
  return text;
}

std::string FunctionEntryText(const TFunctionReference& f) {
  std::string text = f.Syntax + "\n" + CategoryTitle(f.Category) + "\n\n" + Unmarked(f.Doc->Text) + "\n";
  if (*f.Doc->Errors != '\0') text += "\nОшибки: " + Unmarked(f.Doc->Errors) + "\n";
  auto indented = [](std::string_view block) {
    std::string out = "    ";
    for (char c : block) out += c == '\n' ? std::string("\n    ") : std::string(1, c);
    return out + "\n";
  };
  text += "\nПример:\n" + indented(f.Doc->Example);
  text += (f.Host ? "Протокол на симуляторе modemsim:\n" : "Выводит:\n") + indented(f.Doc->Output);
  return text;
}

}  // namespace kelvo
