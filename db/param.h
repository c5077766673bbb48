#pragma once
// A named statement parameter (":name" in the text) and its value.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "db/value.h"

namespace dorvan::db {

class Param {
  public:
    explicit Param(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    const Value& AsValue() const { return value_; }
    bool IsNull() const { return value_.IsNull(); }
    std::string AsString() const { return value_.AsString(); }
    std::int64_t AsInteger() const { return value_.AsInteger(); }

    void SetValue(Value value) { value_ = std::move(value); }
    void SetAsString(const std::string& v) { value_ = Value(v); }
    void SetAsInteger(std::int64_t v) { value_ = Value(static_cast<long long>(v)); }
    void SetAsFloat(double v) { value_ = Value(v); }
    void SetAsBoolean(bool v) { value_ = Value(v); }
    void SetAsDate(TDateTime v) { value_ = Value::Date(v); }
    void SetAsTime(TDateTime v) { value_ = Value::Time(v); }
    void SetAsDateTime(TDateTime v) { value_ = Value::DateTime(v); }
    void Clear() { value_ = Value(); }

  private:
    std::string name_;
    Value value_;
};

// Parameter values handed to a service in one go: {{"kod", 4317}, {"nev", "O'Neil"}}.
using ParamValues = std::vector<std::pair<std::string, Value>>;

}  // namespace dorvan::db
