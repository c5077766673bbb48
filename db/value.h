#pragma once
// The value of a field or a parameter: null, boolean, integer, floating point, text
// (UTF-8) or date-time. Reading a value as another type converts it; null reads as "",
// 0, false and 0.0.

#include <cstdint>
#include <string>
#include <variant>

#include "db/date_time.h"

namespace dorvan::db {

// Which part of a date-time value is meaningful; decides its text form.
enum class DateTimeKind { Date, Time, DateTime };

struct DateTimeValue {
    TDateTime value = 0;
    DateTimeKind kind = DateTimeKind::DateTime;
    bool operator==(const DateTimeValue&) const = default;
};

class Value {
  public:
    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool v) : data_(v) {}
    Value(int v) : data_(static_cast<std::int64_t>(v)) {}
    Value(long v) : data_(static_cast<std::int64_t>(v)) {}
    Value(long long v) : data_(static_cast<std::int64_t>(v)) {}
    Value(unsigned v) : data_(static_cast<std::int64_t>(v)) {}
    Value(unsigned long v) : data_(static_cast<std::int64_t>(v)) {}
    Value(unsigned long long v) : data_(static_cast<std::int64_t>(v)) {}
    Value(float v) : data_(static_cast<double>(v)) {}
    Value(double v) : data_(v) {}
    Value(std::string v) : data_(std::move(v)) {}
    Value(const char* v) : data_(std::string(v)) {}
    Value(DateTimeValue v) : data_(v) {}

    static Value Date(TDateTime v) { return Value(DateTimeValue{v, DateTimeKind::Date}); }
    static Value Time(TDateTime v) { return Value(DateTimeValue{v, DateTimeKind::Time}); }
    static Value DateTime(TDateTime v) { return Value(DateTimeValue{v, DateTimeKind::DateTime}); }

    bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsBoolean() const { return std::holds_alternative<bool>(data_); }
    bool IsInteger() const { return std::holds_alternative<std::int64_t>(data_); }
    bool IsFloat() const { return std::holds_alternative<double>(data_); }
    bool IsString() const { return std::holds_alternative<std::string>(data_); }
    bool IsDateTime() const { return std::holds_alternative<DateTimeValue>(data_); }

    // Text: integers in decimal, floats in their shortest exact form with ".", booleans
    // "True"/"False", dates "YYYY-MM-DD", times "HH:MM:SS", timestamps both.
    std::string AsString() const;
    // Throws ValueConversionError when the value has no integer / float / boolean /
    // date-time reading (for example the text "abc").
    std::int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    // The text sent to the server for a parameter; false (and no text) for null. A number
    // that is not finite (an overflow, an undefined result) raises DataException: it is never
    // written or compared as if it were a value.
    bool ToPgText(std::string& out) const;

    bool operator==(const Value& other) const = default;

  private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, DateTimeValue> data_;
};

// Shortest text that reads back as the same double, in plain digits from 1e-7 up to
// 1e21 ("2.675", "1000000", "0.1"), with an exponent outside ("1e+300").
std::string FormatDouble(double v);
// Read a decimal number written with "." or "," (surrounding blanks allowed); false when
// the text is not one.
bool ParseDouble(std::string_view text, double& out);
bool ParseInteger(std::string_view text, std::int64_t& out);
// Lower case of a UTF-8 text for comparisons: ASCII and the Latin-1 and Latin
// Extended-A letters (so "ŐRÜLT" and "őrült" compare equal).
std::string FoldCase(std::string_view text);

}  // namespace dorvan::db
