#include "runtime/RuntimeError.h"

#include <utility>

namespace scenova {

std::string StandardDescription(int32_t number) {
    switch (number) {
        case err::InvalidCall:
            return "Invalid procedure call or argument";
        case err::Overflow:
            return "Overflow";
        case err::OutOfMemory:
            return "Out of memory";
        case err::SubscriptOutOfRange:
            return "Subscript out of range";
        case err::TypeMismatch:
            return "Type mismatch";
        case err::FileNotFound:
            return "File not found";
        case err::NoObject:
            return "Object variable not set";
        case err::InvalidUseOfNull:
            return "Invalid use of Null";
        case err::InvalidPropertyValue:
            return "Invalid property value";
        case err::DuplicateKey:
            return "This key is already associated with an element of this collection";
        case err::InvalidPicture:
            return "Invalid picture";
        case err::Unspecified:
            return "Automation error: unspecified failure";
        default:
            return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int32_t number) : RuntimeError(number, StandardDescription(number)) {}

RuntimeError::RuntimeError(int32_t number, std::string description)
    : m_number(number),
      m_description(std::move(description)),
      m_what("run-time error " + std::to_string(number) + ": " + m_description) {}

void Raise(int32_t number) {
    throw RuntimeError(number);
}

void Raise(int32_t number, std::string description) {
    throw RuntimeError(number, std::move(description));
}

}  // namespace scenova
