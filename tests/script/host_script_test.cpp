// Host objects and classes used from JScript: properties, methods, index and default properties,
// constructors, `is`, `with`, macro arguments and late binding over an object held in a variable.
#include <gtest/gtest.h>

#include <sstream>

#include "script/printing_script.h"
#include "script/program/statements.h"

namespace kelvo {
namespace {

class TDevice : public TfsHostObject {
 public:
  static const TfsClassInfo& BaseInfo() {
    static const TfsClassInfo info("TPort", nullptr);
    return info;
  }
  static const TfsClassInfo& Info() {
    static const TfsClassInfo info(
        "TDevice", &BaseInfo(),
        {TfsPropInfo{
            "Speed", TfsPropKind::Integer, "",
            [](TfsHostObject& o) { return Variant(static_cast<TDevice&>(o).Speed); },
            [](TfsHostObject& o, const Variant& v) { static_cast<TDevice&>(o).Speed = v.AsInteger(); }}});
    return info;
  }
  TfsClassRef ClassType() const override { return &Info(); }
  bool SetEvent(const std::string& name, TfsCustomEvent* bridge) override {
    if (name != "OnData") return false;
    OnData = bridge;
    return true;
  }
  TfsCustomEvent* OnData = nullptr;
  int Speed = 9600;
  std::vector<std::string> Lines = {"zero", "one", "two"};
};

class HostScript : public testing::PrintingScript {
 protected:
  void SetUp() override {
    PrintingScript::SetUp();
    prog.AddClass(&TDevice::BaseInfo(), "");
    TfsClassVariable* cls = prog.AddClass(&TDevice::Info(), "TPort");
    cls->AddMethod("function Describe(prefix: String): String",
                   [](TfsHostObject* inst, TfsClassRef, const std::string&, Variant& params) {
                     std::int64_t i = 0;
                     return Variant(params.GetElement(std::span(&i, 1)).AsString() +
                                    std::to_string(static_cast<TDevice*>(inst)->Speed));
                   });
    cls->AddDefaultProperty("Lines", "Integer", "String",
                            [](TfsHostObject* inst, TfsClassRef, const std::string& name, Variant& params) {
                              auto* d = static_cast<TDevice*>(inst);
                              std::int64_t i = 0, last = params.ArrayHighBound(1);
                              int index = params.GetElement(std::span(&i, 1)).AsInteger();
                              if (index < 0 || index >= static_cast<int>(d->Lines.size()))
                                throw Exception("bad index");
                              if (name == "LINES.SET") {
                                d->Lines[index] = params.GetElement(std::span(&last, 1)).AsString();
                                return Variant();
                              }
                              return Variant(d->Lines[index]);
                            });
    cls->AddConstructor("constructor Create(speed: Integer)",
                        [this](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                          std::int64_t i = 0;
                          created.push_back(std::make_unique<TDevice>());
                          created.back()->Speed = params.GetElement(std::span(&i, 1)).AsInteger();
                          return ObjectToVariant(created.back().get());
                        });
    cls->AddEvent("OnData", [](TfsHostObject* instance, TfsProcVariable* handler) {
      return std::make_unique<TfsCustomEvent>(instance, handler);
    });
    prog.AddObject("Modem", &device);
    prog.AddMethod("macrofunction Source(x: Variant): String",
                   [](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                     std::int64_t i = 0;
                     return params.GetElement(std::span(&i, 1));
                   });
  }
  void Run(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    prog.Lines.clear();
    while (std::getline(in, line)) prog.Lines.push_back(line);
    ASSERT_TRUE(prog.Compile()) << prog.ErrorPlace << ": " << prog.ErrorText;
    prog.Execute();
  }

  TDevice device;
  std::vector<std::unique_ptr<TDevice>> created;
};

TEST_F(HostScript, PropertiesAndMethodsOfAnObject) {
  Run("Modem.Speed = 115200;\nPrint(Modem.Speed);\nPrint(Modem.Describe(\"at \"));");
  EXPECT_EQ(device.Speed, 115200);
  EXPECT_EQ(printed, (std::vector<std::string>{"115200", "at 115200"}));
}

TEST_F(HostScript, DefaultAndIndexProperties) {
  Run("Print(Modem[1]);\nModem[2] = \"TWO\";\nPrint(Modem.Lines[2]);");
  EXPECT_EQ(printed, (std::vector<std::string>{"one", "TWO"}));
  EXPECT_EQ(device.Lines[2], "TWO");
}

TEST_F(HostScript, AnIndexOnAFunctionReturningAnObjectReadsItsDefaultProperty) {
  Run("function device() { return Modem; }\nPrint(device()[2]);\n"
      "try { device()[9]; } except { Print(ExceptionMessage); }");
  EXPECT_EQ(printed, (std::vector<std::string>{"two", "bad index"}));
}

TEST_F(HostScript, ConstructorsAndIs) {
  Run("var d = new TDevice(300);\nPrint(d.Speed);\nPrint(d is TPort);\nPrint(Modem is TDevice);");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(printed, (std::vector<std::string>{"300", "True", "True"}));
}

TEST_F(HostScript, WithReachesMembersThroughTheObject) {
  Run("with (Modem) { Speed = 2400; Print(Describe(\"w\")); }");
  EXPECT_EQ(device.Speed, 2400);
  EXPECT_EQ(printed, (std::vector<std::string>{"w2400"}));
}

TEST_F(HostScript, ObjectsHeldInVariablesAreBoundAtRunTime) {
  Run("var d = Modem;\nd.Speed = 4800;\nPrint(d.Describe(\"v\"));\nvar o = Modem;\nwith (o) { Speed = 1200; "
      "}");
  EXPECT_EQ(printed, (std::vector<std::string>{"v4800"}));
  EXPECT_EQ(device.Speed, 1200);
}

TEST_F(HostScript, MacroArgumentsPassTheirSourceText) {
  Run("var a = 1;\nPrint(Source(a + 2 * 3));");
  EXPECT_EQ(printed, (std::vector<std::string>{"a + 2 * 3"}));
}

TEST_F(HostScript, HostErrorsLeaveExecute) {
  prog.Lines = {"Print(Modem[7]);"};
  ASSERT_TRUE(prog.Compile());
  EXPECT_THROW(prog.Execute(), Exception);
  EXPECT_FALSE(prog.Running);
}

TEST_F(HostScript, EventsCallTheScriptProcedureAssignedByName) {
  Run("function got(x) { Print(\"got \" + x); }\nModem.OnData = \"got\";");
  ASSERT_NE(device.OnData, nullptr);
  device.OnData->CallHandler({Variant("line")});
  EXPECT_EQ(printed, (std::vector<std::string>{"got line"}));
  prog.RootStatement().Clear();
  prog.Lines = {"Modem.OnData = \"Speedy\";"};
  ASSERT_TRUE(prog.Compile());
  try {
    prog.Execute();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Event handler must be a procedure");
  }
  prog.RootStatement().Clear();
  prog.Lines = {"Modem.OnData = \"0\";"};
  ASSERT_TRUE(prog.Compile());
  prog.Execute();
  EXPECT_EQ(device.OnData, nullptr);
}

TEST_F(HostScript, UnknownMembersAreBuildErrors) {
  prog.Lines = {"Modem.Nothing = 1;"};
  EXPECT_FALSE(prog.Compile());
  EXPECT_EQ(prog.ErrorText, "Undeclared identifier: 'Nothing'");
}

}  // namespace
}  // namespace kelvo
