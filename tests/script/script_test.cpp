#include <gtest/gtest.h>

#include "script/lib/modules.h"
#include "script/program/script.h"
#include "script/program/statements.h"

namespace kelvo {
namespace {

TEST(ItemTable, LookupIgnoresCaseAndFindsTheNewestFirst) {
  TfsScript prog;
  prog.AddVariable("Count", "Integer", Variant(1));
  auto* second = prog.Add("COUNT", std::make_unique<TfsVariable>("COUNT", fvtInt, "Integer"));
  EXPECT_EQ(prog.FindLocal("count"), second);
  std::unique_ptr<TfsObject> removed = prog.Remove(second);
  EXPECT_EQ(removed.get(), second);
  EXPECT_EQ(prog.FindLocal("count")->Value.AsInteger(), 1);
  EXPECT_EQ(prog.FindLocal("none"), nullptr);
}

TEST(ItemTable, PositionsFollowTheNamesAndTheNewestOfEqualNames) {
  TfsScript prog;
  for (const char* name : {"b", "a", "A", "c"})
    prog.Add(name, std::make_unique<TfsVariable>(name, fvtInt, ""));
  std::vector<std::string> names;
  for (int i = 0; i < prog.Count(); ++i) names.push_back(prog.GetItemName(i));
  EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "b", "c"}));
  prog.Remove(prog.GetItem(0)).reset();
  EXPECT_EQ(prog.GetItemName(0), "a");
  EXPECT_EQ(prog.FindLocal("A"), prog.GetItem(0));
  EXPECT_EQ(prog.Count(), 3);
}

TEST(ItemTable, CyrillicNamesCompareWithoutCase) {
  TfsScript prog;
  prog.AddVariable("\xd1\xf7\xb8\xf2", "Integer", Variant(5));  // "Счёт" in Windows-1251
  ASSERT_NE(prog.Find("\xd1\xd7\xa8\xd2"), nullptr);            // "СЧЁТ"
}

TEST(ItemTable, ParentsAreSearchedAndShadowed) {
  TfsScript parent, child;
  child.Parent = &parent;
  parent.AddVariable("x", "Integer", Variant(1));
  EXPECT_EQ(child.Find("x")->Value.AsInteger(), 1);
  EXPECT_EQ(child.FindLocal("x"), nullptr);
  child.Add("x", std::make_unique<TfsVariable>("x", fvtInt, "Integer"))->Value = Variant(2);
  EXPECT_EQ(child.Find("x")->Value.AsInteger(), 2);
  EXPECT_TRUE(child.GetVariables("nothing").IsNull());
  child.SetVariables("fresh", Variant("v"));
  EXPECT_EQ(child.FindLocal("fresh")->TypeName, "Variant");
}

TEST(Registration, AddConstOfAnExistingNameAddsNothing) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  prog.AddConst("True", "Integer", Variant(5));
  EXPECT_EQ(prog.FindLocal("True"), nullptr);
  EXPECT_TRUE(prog.Find("True")->GetValue().AsBoolean());
  prog.AddConst("DefaultReadTimeout", "Integer", Variant(1500));
  TfsCustomVariable* c = prog.FindLocal("DefaultReadTimeout");
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->ReadOnly);
  EXPECT_EQ(c->VarType, fvtInt);
  c->SetValue(Variant(1));
  EXPECT_EQ(c->GetValue().AsInteger(), 1500);
}

TEST(Registration, EnumsAndSetsNumberTheirNames) {
  TfsScript prog;
  prog.AddEnum("TKind", "kA, kB ,kC");
  prog.AddEnumSet("TFlags", "fA,fB,fC");
  EXPECT_EQ(prog.Find("kC")->Value.AsInteger(), 2);
  EXPECT_EQ(prog.Find("fC")->Value.AsInteger(), 4);
  EXPECT_EQ(prog.Find("kB")->VarType, fvtEnum);
  EXPECT_EQ(prog.Find("kB")->TypeName, "TKind");
}

TEST(Registration, ClearKeepsLibraryItemsAndDropsHostOnes) {
  TfsScript prog;
  prog.AddRTTI();
  prog.AddVariable("HostVar", "Integer", Variant(1));
  prog.AddCodeLine("", "3:1");
  prog.ErrorText = "x";
  prog.Clear();
  EXPECT_EQ(prog.FindLocal("HostVar"), nullptr);
  EXPECT_NE(prog.FindLocal("Integer"), nullptr);
  EXPECT_FALSE(prog.IsExecutableLine(3));
  EXPECT_EQ(prog.ErrorText, "");
  prog.ClearRTTI();
  EXPECT_EQ(prog.FindLocal("Integer"), nullptr);
  EXPECT_FALSE(prog.ModulesAdded);
}

TEST(Registration, RemoveItemsFreesByOwnerTag) {
  TfsScript prog;
  prog.PendingOwnerTag = 7;
  prog.AddVariable("a", "Integer", Variant(1));
  prog.PendingOwnerTag = 0;
  prog.AddVariable("b", "Integer", Variant(1));
  prog.RemoveItems(7);
  EXPECT_EQ(prog.FindLocal("a"), nullptr);
  EXPECT_NE(prog.FindLocal("b"), nullptr);
}

TEST(GlobalUnit, HoldsTheSystemLibrary) {
  TfsScript* g = fsGlobalUnit();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g, fsGlobalUnit());
  EXPECT_EQ(g->Find("TDateTime")->VarType, fvtFloat);
  EXPECT_EQ(g->Find("Constructor")->VarType, fvtConstructor);
  EXPECT_TRUE(g->Find("Null")->GetValue().IsNull());
  EXPECT_EQ(g->Find("varArray")->GetValue().AsInteger(), 0x2000);
  EXPECT_EQ(g->Find("ExceptionMessage")->GetValue().AsString(), "");
  EXPECT_NE(dynamic_cast<TfsStringHelper*>(g->Find("__StringHelper")), nullptr);
  auto* arrays = dynamic_cast<TfsArrayHelper*>(g->Find("__ArrayHelper"));
  ASSERT_NE(arrays, nullptr);
  EXPECT_EQ(arrays->ParamCount(), 3);
  EXPECT_EQ(arrays->GetNumberOfRequiredParams(), 1);
  EXPECT_EQ(g->Find("True")->OwnerTag, fsLibraryOwnerTag);
}

TEST(ExecutableLines, RecordsEachLineOncePerUnit) {
  TfsScript prog;
  prog.AddCodeLine("", "3:5");
  prog.AddCodeLine("", "3:9");
  prog.AddCodeLine("", "12:1");
  prog.AddCodeLine("lib", "1:1");
  EXPECT_EQ(prog.ExecutableLines[0], "=3,12,");
  EXPECT_TRUE(prog.IsExecutableLine(12));
  EXPECT_FALSE(prog.IsExecutableLine(1));
  EXPECT_FALSE(prog.IsExecutableLine(2));
  EXPECT_TRUE(prog.IsExecutableLine(1, "lib"));
}

TEST(ExecutableLines, LinesOutOfOrderAndAListChangedByTheHost) {
  TfsScript prog;
  for (const char* pos : {"7:1", "2:1", "7:3", "2:5", "10:1"}) prog.AddCodeLine("", pos);
  EXPECT_EQ(prog.ExecutableLines, (std::vector<std::string>{"=7,2,10,"}));
  prog.ExecutableLines = {"=2,"};
  prog.AddCodeLine("", "2:1");
  prog.AddCodeLine("", "7:1");
  EXPECT_EQ(prog.ExecutableLines, (std::vector<std::string>{"=2,7,"}));
}

// A statement that runs a callback: lets the tests drive the run flags without the builder.
class TCallbackStmt : public TfsStatement {
 public:
  TCallbackStmt(TfsScript* prog, std::function<void()> f) : TfsStatement(prog, "1:1", ""), F(std::move(f)) {}
  void Execute() override {
    RunLine();
    F();
  }
  std::function<void()> F;
};

TEST(RunFlags, TerminateStopsProceduresAndTheirCallers) {
  TfsScript prog;
  auto* proc = prog.Add("P", std::make_unique<TfsProcVariable>("P", fvtInt, "Integer", &prog, false));
  int innerRuns = 0, outerRuns = 0;
  proc->LocalProg->RootStatement().Add(
      std::make_unique<TCallbackStmt>(proc->LocalProg.get(), [&] { prog.Terminate(); }));
  proc->LocalProg->RootStatement().Add(
      std::make_unique<TCallbackStmt>(proc->LocalProg.get(), [&] { ++innerRuns; }));
  prog.RootStatement().Add(std::make_unique<TCallbackStmt>(&prog, [&] { proc->GetValue(); }));
  prog.RootStatement().Add(std::make_unique<TCallbackStmt>(&prog, [&] { ++outerRuns; }));
  prog.Execute();
  EXPECT_EQ(innerRuns, 0);
  EXPECT_EQ(outerRuns, 0);
  EXPECT_FALSE(prog.ExitFlag);
  EXPECT_FALSE(prog.StopRequested);
  EXPECT_FALSE(prog.Running);
  EXPECT_TRUE(prog.MainRun);
  prog.Execute();           // a later run starts afresh
  EXPECT_EQ(outerRuns, 0);  // P terminates again
}

TEST(RunFlags, RunLineReachesTheFirstHandlerUpTheChain) {
  TfsScript main, local;
  local.Parent = &main;
  TfsScript* sender = nullptr;
  std::string pos;
  main.OnRunLine = [&](TfsScript& s, const std::string&, const std::string& p) {
    sender = &s;
    pos = p;
  };
  local.RunLine("", "4:2");
  EXPECT_EQ(sender, &local);
  EXPECT_EQ(pos, "4:2");
}

TEST(Procedures, RecursionSaveAndRestoreKeepTheCallersValues) {
  TfsScript prog;
  auto* proc = prog.Add("F", std::make_unique<TfsProcVariable>("F", fvtInt, "Integer", &prog, true));
  auto* n = proc->AddParam(std::make_unique<TfsParamItem>("n", fvtInt, "Integer", false, false));
  proc->LocalProg->AddUnowned("n", n);
  // F(n) = n <= 1 ? 1 : n * F(n - 1), calling itself the way a designator does.
  proc->LocalProg->RootStatement().Add(std::make_unique<TCallbackStmt>(proc->LocalProg.get(), [&] {
    int value = n->Value.AsInteger();
    if (value <= 1) {
      proc->Target->Value = Variant(1);
      return;
    }
    std::vector<Variant> saved;
    if (proc->Executing) proc->SaveLocals(saved);
    n->Value = Variant(value - 1);
    Variant inner = proc->GetValue();
    proc->RestoreLocals(saved);
    proc->Target->Value = VarMul(n->Value, inner);
  }));
  n->Value = Variant(6);
  EXPECT_EQ(proc->GetValue().AsInteger(), 720);
  EXPECT_FALSE(proc->Executing);
}

TEST(Procedures, DeepRecursionEndsWithAnError) {
  TfsScript prog;
  auto* proc = prog.Add("R", std::make_unique<TfsProcVariable>("R", fvtInt, "Integer", &prog, false));
  proc->LocalProg->RootStatement().Add(
      std::make_unique<TCallbackStmt>(proc->LocalProg.get(), [&] { proc->GetValue(); }));
  try {
    proc->GetValue();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("Stack overflow"), std::string::npos);
  }
  EXPECT_FALSE(proc->Executing);
}

TEST(Helpers, ArrayAndStringElements) {
  TfsScript prog;
  prog.Parent = fsGlobalUnit();
  TfsVariable arr("a", fvtArray, "");
  arr.Value = Variant::CreateArray(0, 2);
  TfsArrayHelper helper("", 1, fvtVariant, "");
  helper.OwnerItem = &arr;
  helper.GetParam(0)->Value = Variant(2);
  helper.SetValue(Variant("z"));
  EXPECT_EQ(helper.GetValue().AsString(), "z");
  helper.GetParam(0)->Value = Variant(3);
  EXPECT_THROW(helper.GetValue(), EVariantBadIndexError);

  TfsStringVariable s("s", fvtString, "String");
  s.SetValue(Variant(123));
  EXPECT_TRUE(s.GetValue().IsString());
  TfsStringHelper chars;
  chars.OwnerItem = &s;
  chars.OwnerValue = s.GetValue();
  chars.GetParam(0)->Value = Variant(2);
  EXPECT_EQ(chars.GetValue().AsString(), "2");
  chars.SetValue(Variant("X"));
  EXPECT_EQ(s.GetValue().AsString(), "1X3");
  chars.GetParam(0)->Value = Variant(9);
  EXPECT_THROW(chars.GetValue(), EVariantBadIndexError);
}

}  // namespace
}  // namespace kelvo
