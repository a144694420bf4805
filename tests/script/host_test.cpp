#include <gtest/gtest.h>

#include "script/lib/modules.h"
#include "script/program/host.h"
#include "script/program/script.h"

namespace kelvo {
namespace {

Variant Element(const Variant& a, std::int64_t i) {
  return a.GetElement(std::span(&i, 1));
}
void SetElement(Variant& a, std::int64_t i, const Variant& v) {
  a.PutElement(std::span(&i, 1), v);
}

class HostMethods : public ::testing::Test {
 protected:
  void SetUp() override { prog.Parent = fsGlobalUnit(); }
  TfsScript prog;
};

TEST_F(HostMethods, HandlerGetsUpperNameArgumentsAndWritesVarParameters) {
  std::string seenName;
  Variant seenParams;
  TfsMethodHelper* m =
      prog.AddMethod("function Swap(var a: Integer; b: Integer): String",
                     [&](TfsHostObject* instance, TfsClassRef cls, const std::string& name, Variant& params) {
                       EXPECT_EQ(instance, nullptr);
                       EXPECT_EQ(cls, nullptr);
                       seenName = name;
                       seenParams = params;
                       SetElement(params, 0, Variant(99));
                       SetElement(params, 1, Variant(77));
                       return Variant("done");
                     });
  EXPECT_EQ(prog.FindLocal("swap"), m);
  EXPECT_EQ(m->Description, "Swap");
  m->GetParam(0)->Value = Variant(1);
  m->GetParam(1)->Value = Variant(2);
  EXPECT_EQ(m->GetValue().AsString(), "done");
  EXPECT_EQ(seenName, "SWAP");
  EXPECT_EQ(Element(seenParams, 0).AsInteger(), 1);
  EXPECT_EQ(m->GetParam(0)->Value.AsInteger(), 99);  // var parameter written back
  EXPECT_EQ(m->GetParam(1)->Value.AsInteger(), 2);   // value parameter untouched
  EXPECT_TRUE(m->ReadOnly);
}

TEST_F(HostMethods, NoParametersGiveAnEmptyArray) {
  int high = 5;
  TfsMethodHelper* m = prog.AddMethod("function RecvLn():String",
                                      [&](TfsHostObject*, TfsClassRef, const std::string&, Variant& params) {
                                        high = params.ArrayHighBound(1);
                                        return Variant("line");
                                      });
  EXPECT_EQ(m->GetValue().AsString(), "line");
  EXPECT_EQ(high, -1);
}

TEST_F(HostMethods, LaterRegistrationShadowsEarlier) {
  auto handler = [](std::string r) {
    return [r](TfsHostObject*, TfsClassRef, const std::string&, Variant&) { return Variant(r); };
  };
  prog.AddMethod("function F: String", handler("first"));
  prog.AddMethod("function F: String", handler("second"));
  EXPECT_EQ(prog.Find("F")->GetValue().AsString(), "second");
}

TEST_F(HostMethods, CallerHandlersReadAndWriteThroughTheMethodItem) {
  TfsMethodHelper* m =
      prog.AddMethod("procedure Inc2(var x: Integer; by: Integer = 2)",
                     [](TfsHostObject*, TfsClassRef, const std::string& name, TfsMethodHelper& caller) {
                       EXPECT_EQ(name, "INC2");
                       caller.SetVParam(0, VarAdd(caller.GetVParam(0), caller.GetVParam(1)));
                       return Variant();
                     });
  EXPECT_TRUE(m->GetParam(1)->Optional);
  m->GetParam(0)->Value = Variant(40);
  m->GetParam(1)->Value = m->GetParam(1)->DefaultValue;
  m->GetValue();
  EXPECT_EQ(m->GetParam(0)->Value.AsInteger(), 42);
}

TEST_F(HostMethods, HandlerErrorsPassThrough) {
  TfsMethodHelper* m = prog.AddMethod(
      "procedure Fail",
      [](TfsHostObject*, TfsClassRef, const std::string&, Variant&) -> Variant { throw Exception("boom"); });
  EXPECT_THROW(m->GetValue(), Exception);
}

// A host class described in C++: a counter with a published property and a plain one.
class TCounter : public TfsHostObject {
 public:
  static const TfsClassInfo& Info() {
    static const TfsClassInfo base("TBase", nullptr);
    static const TfsClassInfo info(
        "TCounter", &base,
        {TfsPropInfo{
             "Count", TfsPropKind::Integer, "",
             [](TfsHostObject& o) { return Variant(static_cast<TCounter&>(o).Count); },
             [](TfsHostObject& o, const Variant& v) { static_cast<TCounter&>(o).Count = v.AsInteger(); }},
         TfsPropInfo{"Active", TfsPropKind::Enumeration, "Boolean",
                     [](TfsHostObject& o) { return Variant(static_cast<TCounter&>(o).Active ? 1 : 0); },
                     nullptr}});
    return info;
  }
  TfsClassRef ClassType() const override { return &Info(); }
  int Count = 0;
  bool Active = true;
};

TEST_F(HostMethods, ClassesDescribeAncestorsAndPublishedProperties) {
  TCounter counter;
  TfsClassVariable* base = prog.AddClass(TCounter::Info().ClassParent(), "TObject");
  TfsClassVariable* cls = prog.AddClass(&TCounter::Info(), "TBase");
  ASSERT_NE(cls, nullptr);
  EXPECT_EQ(prog.AddClass(&TCounter::Info(), "TBase"), nullptr);
  EXPECT_EQ(cls->VarType, fvtClass);
  EXPECT_EQ(cls->ParamCount(), 1);
  base->AddMethod("function Hello: String",
                  [](TfsHostObject* inst, TfsClassRef c, const std::string& n, Variant&) {
                    return Variant(n + ":" + (c ? c->ClassName() : "") + ":" + (inst ? "obj" : "none"));
                  });
  auto* count = dynamic_cast<TfsPropertyHelper*>(cls->Find("count"));
  ASSERT_NE(count, nullptr);
  count->OwnerValue = ObjectToVariant(&counter);
  count->SetValue(Variant(12));
  EXPECT_EQ(counter.Count, 12);
  EXPECT_EQ(count->GetValue().AsInteger(), 12);
  auto* active = dynamic_cast<TfsPropertyHelper*>(cls->Find("Active"));
  ASSERT_NE(active, nullptr);
  EXPECT_EQ(active->VarType, fvtBool);
  active->OwnerValue = ObjectToVariant(&counter);
  EXPECT_EQ(active->GetValue().VarType(), varBoolean);
  EXPECT_TRUE(active->ReadOnly);
  // An inherited member is found through the ancestor's class item.
  auto* hello = dynamic_cast<TfsMethodHelper*>(cls->Find("Hello"));
  ASSERT_NE(hello, nullptr);
  hello->OwnerValue = ObjectToVariant(&counter);
  EXPECT_EQ(hello->GetValue().AsString(), "HELLO:TBase:obj");
  prog.AddObject("Counter", &counter);
  EXPECT_EQ(prog.Find("Counter")->TypeName, "TCounter");
  EXPECT_EQ(VariantToObject(prog.GetVariables("Counter")), &counter);
}

TEST_F(HostMethods, PropertyGettersNormaliseBooleans) {
  TfsClassVariable* cls = prog.AddClass(&TCounter::Info(), "");
  int returned = 5;
  auto* p = cls->AddProperty(
      "Ready", "Boolean", [&](TfsHostObject*, TfsClassRef, const std::string&) { return Variant(returned); });
  EXPECT_TRUE(p->GetValue().AsBoolean());
  returned = 0;
  EXPECT_FALSE(p->GetValue().AsBoolean());
  EXPECT_TRUE(p->ReadOnly);
}

TEST_F(HostMethods, IndexPropertiesGetAndSet) {
  TfsClassVariable* cls = prog.AddClass(&TCounter::Info(), "");
  std::string lastName;
  Variant lastArgs;
  TfsMethodHelper* items =
      cls->AddDefaultProperty("Items", "Integer, String", "String",
                              [&](TfsHostObject*, TfsClassRef, const std::string& n, Variant& a) {
                                lastName = n;
                                lastArgs = a;
                                return Variant("v");
                              });
  EXPECT_EQ(cls->DefaultProperty, items);
  EXPECT_TRUE(items->IsIndexProp);
  ASSERT_EQ(items->ParamCount(), 2);
  EXPECT_EQ(items->GetParam(1)->TypeName, "String");
  items->GetParam(0)->Value = Variant(3);
  items->GetParam(1)->Value = Variant("k");
  EXPECT_EQ(items->GetValue().AsString(), "v");
  EXPECT_EQ(lastName, "ITEMS.GET");
  items->SetValue(Variant("new"));
  EXPECT_EQ(lastName, "ITEMS.SET");
  EXPECT_EQ(Element(lastArgs, 2).AsString(), "new");
}

TEST(HostObjects, OnlyLiveObjectsComeBackFromIntegers) {
  Variant ref;
  {
    TCounter counter;
    ref = ObjectToVariant(&counter);
    EXPECT_EQ(VariantToObject(ref), &counter);
  }
  EXPECT_EQ(VariantToObject(ref), nullptr);
  EXPECT_EQ(VariantToObject(Variant(12345)), nullptr);
  EXPECT_EQ(VariantToObject(Variant("x")), nullptr);
}

TEST(HostCalls, CallFunctionOnlyCallsProceduresOfThisProgram) {
  TfsScript prog;
  prog.AddVariable("v", "Integer", Variant(1));
  Variant result = Variant(5);
  prog.CallFunction("v", Variant(), result);
  EXPECT_TRUE(result.IsNull());
  prog.CallFunction("missing", Variant(), result);
  EXPECT_TRUE(result.IsNull());
}

TEST(HostCalls, EvaluateNeedsTheDefaultLanguage) {
  TfsScript prog;
  try {
    prog.Evaluate("1 + 2");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Language 'PascalScript' not found");
  }
}

}  // namespace
}  // namespace kelvo
