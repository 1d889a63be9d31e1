// A fuzz input read as a small program of member calls on one control: which member, in
// which way, with which arguments, and how the program ends its task.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "control/Kavel_TLB.h"

namespace kavel::fuzz {

// Reads the input from the front; past its end every read answers zeros or nothing.
class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    uint8_t Byte();
    uint16_t U16();
    uint32_t U32();
    // The bytes up to the next NUL (which is consumed), at most `max` of them.
    QByteArray Until(size_t max);

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

struct CallStep {
    enum class Kind {
        Invoke,       // a member through the late-bound path
        StoreLayout,  // text written as the task's stored layout file before it is read
    };
    Kind kind = Kind::Invoke;
    DISPID dispid = DISPID_UNKNOWN;
    InvokeKind how = InvokeKind::Method;
    QString name;                // the member's name (as looked up, for a call by name)
    std::vector<QString> types;  // declared types of the arguments given (may be fewer)
    std::vector<Variant> args;
    QByteArray layout;  // StoreLayout: the file's bytes
};

// How the program ends: every program prints on the built-in PDF printer; some preview
// first, some also want the printed pages as pictures.
enum class FinalOutput { Print, PrintWithPictures, PreviewThenPrint };

struct CallProgram {
    int pixelsPerInch = 96;
    std::vector<CallStep> steps;
    FinalOutput output = FinalOutput::Print;
};

// Longest text that the "repeat" argument builds: beyond what a text item keeps, so that
// cutting is reached too.
constexpr qsizetype kMaxRepeatedChars = qsizetype{1} << 23;

constexpr size_t kMaxSteps = 48;

CallProgram DecodeCallProgram(const uint8_t* data, size_t size);

// Whether a declared parameter type takes an integer.
bool IsIntegerType(const QString& type);

}  // namespace kavel::fuzz
