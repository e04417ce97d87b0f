#pragma once
// Numbers, integers, Booleans, texts and points read out of JSON values: the one set of
// conversions behind every file format and request body.
//
// Files store most numbers as JSON strings ("12.5", "-3"), so a number is a JSON number
// or a text holding one, always in the C locale (parseDouble and parseInt32). A reader
// does not throw: it gives the value, or the reason it could not, and the caller words
// the message its file or reply needs.
#include <string_view>

#include "platform/geometry.h"
#include "platform/json_text.h"

namespace quillon {

// Why a value gave nothing.
enum class TJsonFault {
  None,
  WrongType,   // a JSON type the reader does not take (null, object, a number for a text, ...)
  BadValue,    // the right JSON type, but a text not of the form asked for, or a point
               // array without two usable coordinates
  OutOfRange,  // a number the kind cannot hold (beyond 32 bits, not whole, beyond float)
};

// What a reader gives: Value when Fault is None (then the result converts to true).
template <typename T>
struct TJsonRead {
  T Value{};
  TJsonFault Fault = TJsonFault::None;

  explicit operator bool() const { return Fault == TJsonFault::None; }
};

// A JSON number, or a text that parseDouble takes (blanks around, exponent, "INF",
// "NAN").
TJsonRead<double> readJsonNumber(const TJson &value);

// Whether a float reader takes infinity and NaN.
enum class TNonFinite { Refuse, Accept };

// readJsonNumber narrowed to a float. A finite number beyond the largest float but below
// half a step above it becomes the largest float (that is where the largest float,
// written with 15 digits, reads back); one at or beyond that is OutOfRange. Infinity and
// NaN are OutOfRange unless `nonFinite` accepts them.
TJsonRead<float> readJsonFloat(const TJson &value, TNonFinite nonFinite);

// A 32-bit integer: a JSON integer within range, a JSON float that is whole and within
// range, or a text that parseInt32 takes (decimal digits, optional sign, blanks around;
// "1.0" is not an integer text).
TJsonRead<int> readJsonInt(const TJson &value);

// The Boolean forms a reader takes. Both take JSON true and false.
enum class TBoolForms {
  // Only the texts "-1" and "1" (true) and "0" (false), exactly: the form the program
  // writes its flags in.
  Flags,
  // Also "true" and "false" in any case, and any whole number as a text (within 32 bits)
  // or a JSON integer, not 0 being true; blanks around a text are ignored.
  Lenient,
};

TJsonRead<bool> readJsonBool(const TJson &value, TBoolForms forms);

// A JSON string, viewed in place (valid while the value lives).
TJsonRead<std::string_view> readJsonText(const TJson &value);

// A point: an array whose first two elements are coordinates readJsonFloat takes as
// finite floats; further elements are ignored. Not an array is WrongType; fewer than two
// elements or a coordinate of the wrong type or form is BadValue; a coordinate that no
// finite float holds is OutOfRange.
TJsonRead<TPointF> readJsonPoint(const TJson &value);

}  // namespace quillon
