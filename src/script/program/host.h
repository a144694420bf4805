// The host side of the object model: host objects and the C++ description of their classes
// (TfsClassInfo, standing in for run-time type information), the callbacks through which scripts
// reach host code, and the items that stand for host methods, properties, events, components and
// classes inside a program.
//
// Host objects travel through scripts as 64-bit integers holding the object's address. Only
// addresses of live TfsHostObject instances are ever turned back into objects (VariantToObject
// checks a registry), so an arbitrary integer from a script can never be used as an object.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/program/items.h"

namespace kelvo {

class TfsHostObject;
class TfsMethodHelper;
class TfsProcVariable;
class TfsClassInfo;
class TfsCustomEvent;
using TfsClassRef = const TfsClassInfo*;

// Kinds of published properties, as the class item maps them to item kinds.
enum class TfsPropKind {
  Integer,
  Char,
  Enumeration,
  Float,
  String,
  Set,
  Class,
  Variant,
  Method,
  Int64,
  Other
};

// One published property of a host class: how to read and write it on an instance.
struct TfsPropInfo {
  std::string Name;
  TfsPropKind Kind = TfsPropKind::Integer;
  std::string TypeName;  // enumeration, set or class name
  std::function<Variant(TfsHostObject&)> Get;
  std::function<void(TfsHostObject&, const Variant&)> Set;  // none: read-only
};

// Creates the bridge object that connects an event property of an instance to a script procedure.
using TfsEventClass = std::function<std::unique_ptr<TfsCustomEvent>(TfsHostObject*, TfsProcVariable*)>;

// A host class: its name, its ancestor and its published properties.
class TfsClassInfo {
 public:
  TfsClassInfo(std::string className, TfsClassRef parent, std::vector<TfsPropInfo> properties = {});

  const std::string& ClassName() const { return FClassName; }
  TfsClassRef ClassParent() const { return FParent; }
  const std::vector<TfsPropInfo>& Properties() const { return FProperties; }
  // The class itself or one of its ancestors is other.
  bool InheritsFrom(TfsClassRef other) const;
  // The published property of that name, searched in this class and then its ancestors.
  const TfsPropInfo* FindProperty(const std::string& name) const;
  bool IsForm = false;        // registered with the ancestor "TForm" by AddComponent
  bool IsDataModule = false;  // registered with the ancestor "TDataModule"

 private:
  std::string FClassName;
  TfsClassRef FParent;
  std::vector<TfsPropInfo> FProperties;
};

// Base of every object a host hands to scripts.
class TfsHostObject {
 public:
  TfsHostObject();
  TfsHostObject(const TfsHostObject&);
  TfsHostObject& operator=(const TfsHostObject&) = default;
  virtual ~TfsHostObject();

  virtual TfsClassRef ClassType() const = 0;
  // Sets (bridge) or clears (none) the event property name; false when there is no such event.
  virtual bool SetEvent(const std::string& name, TfsCustomEvent* bridge);

  std::string Name;                        // component name
  std::vector<TfsHostObject*> Components;  // components this one owns (listed, not owned here)
};

// ObjectToVariant (the other direction) is the variant's own: script/value/variant.h.
// The live host object an integer refers to; none for 0, for non-integers and for any integer
// that is not the address of a live host object.
TfsHostObject* VariantToObject(const Variant& value);

// Host callbacks.
using TfsCallMethodEvent = std::function<Variant(TfsHostObject* instance, TfsClassRef classType,
                                                 const std::string& methodName, Variant& params)>;
using TfsCallMethodNewEvent = std::function<Variant(TfsHostObject* instance, TfsClassRef classType,
                                                    const std::string& methodName, TfsMethodHelper& caller)>;
using TfsGetValueEvent =
    std::function<Variant(TfsHostObject* instance, TfsClassRef classType, const std::string& propName)>;
using TfsSetValueEvent = std::function<void(TfsHostObject* instance, TfsClassRef classType,
                                            const std::string& propName, const Variant& value)>;

// Connects a host event to a script procedure.
class TfsCustomEvent : public TfsObject {
 public:
  TfsCustomEvent(TfsHostObject* instance, TfsProcVariable* handler) : Instance(instance), Handler(handler) {}
  // Stores argument i into the handler's parameter i and runs it; nothing while it runs already.
  void CallHandler(const std::vector<Variant>& args);

  TfsHostObject* Instance;
  TfsProcVariable* Handler;
};

// A property of a host class: published (read through TfsPropInfo) or with getter and setter.
class TfsPropertyHelper : public TfsCustomHelper {
 public:
  using TfsCustomHelper::TfsCustomHelper;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;

  TfsClassRef ClassRef = nullptr;
  bool Published = false;
  TfsGetValueEvent Getter;
  TfsSetValueEvent Setter;
};

// A host method (a global function when ClassRef is none).
class TfsMethodHelper : public TfsCustomHelper {
 public:
  // Parses the declaration text and takes over its name, kind, type name, flags and parameters.
  TfsMethodHelper(const std::string& syntax, TfsScript* prog);
  Variant GetValue() override;
  void SetValue(const Variant& value) override;

  // For handlers of the TfsCallMethodNewEvent kind: argument i, or SetSlot for i = count.
  Variant GetVParam(int i);
  void SetVParam(int i, const Variant& value);

  std::string Syntax, Category, Description;
  TfsClassRef ClassRef = nullptr;
  bool IsIndexProp = false;
  TfsCallMethodEvent ParamsHandler;
  TfsCallMethodNewEvent CallerHandler;
  Variant ArgArray;  // bounds 0..param count - 1
  Variant SetSlot = Variant::Null();

 private:
  TfsHostObject* Instance() const;
};

// A component owned by a host form or data module, reached as a member of its class.
class TfsComponentHelper : public TfsCustomHelper {
 public:
  explicit TfsComponentHelper(TfsHostObject* component);
  Variant GetValue() override;
  void SetValue(const Variant&) override {}

  TfsHostObject* Component;
};

// An event property of a host class; assigning a procedure name connects it.
class TfsEventHelper : public TfsCustomHelper {
 public:
  TfsEventHelper(const std::string& name, TfsEventClass eventClass);
  Variant GetValue() override { return Variant(std::string()); }
  void SetValue(const Variant& value) override;

  TfsClassRef ClassRef = nullptr;
  TfsEventClass EventClass;
};

// A host class registered with a program; its members are searched in its ancestors too.
class TfsClassVariable : public TfsCustomVariable {
 public:
  TfsClassVariable(TfsClassRef classRef, std::string ancestorName);

  // A class name applied to one argument is a type cast; without one it makes no instance (null).
  Variant GetValue() override;

  TfsMethodHelper* AddMethod(const std::string& syntax, TfsCallMethodEvent handler);
  TfsMethodHelper* AddMethod(const std::string& syntax, TfsCallMethodNewEvent handler);
  TfsMethodHelper* AddConstructor(const std::string& syntax, TfsCallMethodEvent handler);
  TfsMethodHelper* AddConstructor(const std::string& syntax, TfsCallMethodNewEvent handler);
  TfsPropertyHelper* AddProperty(const std::string& name, const std::string& typeName,
                                 TfsGetValueEvent getter, TfsSetValueEvent setter = nullptr);
  TfsMethodHelper* AddIndexProperty(const std::string& name, const std::string& paramTypes,
                                    const std::string& typeName, TfsCallMethodEvent handler,
                                    bool readOnly = false);
  TfsMethodHelper* AddDefaultProperty(const std::string& name, const std::string& paramTypes,
                                      const std::string& typeName, TfsCallMethodEvent handler,
                                      bool readOnly = false);
  TfsEventHelper* AddEvent(const std::string& name, TfsEventClass eventClass);
  TfsComponentHelper* AddComponent(TfsHostObject* component);
  // The member of that name here, else in the ancestor class item, recursively.
  TfsCustomVariable* Find(const std::string& name) const;

  TfsClassRef ClassRef;
  std::string AncestorName;
  TfsItemList Members;
  TfsCustomVariable* DefaultProperty = nullptr;
  TfsScript* Prog = nullptr;

 private:
  template <class T>
  T* AddMember(std::unique_ptr<T> member);
};

}  // namespace kelvo
