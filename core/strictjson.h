#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <vector>

// JSON read as a hand-edited file needs it: a whole number is told apart from
// one written with a fraction or an exponent ("25" from "25.0"), a key given
// twice in one object is refused rather than one of them silently dropped,
// and an error says where it is by line and column. Qt's own reader does
// none of these. Text must be UTF-8 (a leading byte-order mark is skipped).
namespace orvandel::strictjson {

struct Value {
    enum class Kind { Null, Boolean, Integer, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    // Kind::Integer: the value, or with `tooLarge` the limit it went past.
    qint64 integer = 0;
    bool tooLarge = false;
    // Kind::String: the string. Kind::Integer and Kind::Number: as written.
    QString text;
    std::vector<Value> items; // Kind::Array
    // Kind::Object, in the file's order: keys[i] names values[i]. Two lists
    // rather than one of pairs, which a Value, still incomplete here, cannot be.
    std::vector<QString> keys;
    std::vector<Value> values;

    bool is(Kind k) const { return kind == k; }
    // The member named `key` of an object; null when there is none.
    const Value *member(QAnyStringView key) const;
    // What the value is, for a message: the number as written, the string in
    // quotes, "true", "a list", "an object".
    QString describe() const;
};

struct Parsed {
    Value value;
    QString error; // empty when the bytes are one JSON value
    bool ok() const { return error.isEmpty(); }
};

// Objects and lists nested deeper than this are refused, so that no input
// can exhaust the stack.
inline constexpr int MaxDepth = 64;

// Never reads outside `bytes`.
Parsed parse(QByteArrayView bytes);

// The string as a JSON string: quotes, escapes for the quote, the backslash
// and control characters; everything else as UTF-8.
QByteArray quoted(QStringView text);

} // namespace orvandel::strictjson
