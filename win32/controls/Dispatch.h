#pragma once

#include <ole2.h>
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model/Member.h"
#include "win32/com/ComPtr.h"

namespace scenova::win32::controls {

// A VARIANT that clears itself.
class Var {
public:
    Var() { VariantInit(&v); }
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
    Var& operator=(const Var&) = delete;
    VARIANT v;
};

// The run-time error for a failed COM call on a control: the error the
// control raised (its number, or its HRESULT when it gave none) with
// "object.member" in the description. Well-known dispatch failures become
// the matching run-time errors (13 type mismatch, 438 no such member ...).
[[noreturn]] void RaiseFromHresult(HRESULT hr, const EXCEPINFO* info, const std::string& where);
int32_t ErrorNumber(HRESULT hr);

// Argument list of one late-bound call, in call order. By-reference
// arguments point at storage kept here and are copied back to the caller's
// variables when the call succeeds.
class Arguments {
public:
    Arguments() = default;
    ~Arguments();
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    Arguments& Add(bool value);
    Arguments& Add(int16_t value);
    Arguments& Add(int32_t value);
    Arguments& Add(float value);
    Arguments& Add(double value);
    Arguments& Add(const std::string& value);
    // A string holding the text converted to 8-bit text in the system code
    // page, two characters to a wide unit (its byte length is the text's).
    Arguments& AddEightBit(const std::string& value);
    // Null passes Nothing.
    Arguments& AddObject(ComPtr<IDispatch> value);
    Arguments& AddEmpty();
    Arguments& AddRef(int32_t& value);
    Arguments& AddRef(std::string& value);

    std::size_t Count() const { return m_values.size(); }
    // The arguments as IDispatch::Invoke takes them: last one first.
    VARIANT* Reversed();
    void CopyBack();

private:
    std::vector<VARIANT> m_values;
    std::vector<VARIANT> m_reversed;
    std::deque<LONG> m_longs;
    std::deque<BSTR> m_strings;
    std::vector<std::function<void()>> m_copyBack;
};

// Late binding on one control by member name: names are looked up once
// (GetIDsOfNames) and kept.
class Dispatcher {
public:
    // Holds its own reference to dispatch.
    Dispatcher(IDispatch* dispatch, std::string object);
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // A call for a result is also a property read, as a late-bound caller
    // makes it: a control may expose such a member as a property with
    // parameters. Calls and assignments are the members the headless
    // controls record; property reads are recorded nowhere and go by name.
    void Call(model::Member member, Arguments& args, Var* result = nullptr);
    void Call(model::Member member) {
        Arguments none;
        Call(member, none);
    }
    void Put(model::Member member, Arguments& value);
    void PutRef(model::Member member, Arguments& value);
    void Get(std::string_view member, Var& result);

    // A property read converted to the type the caller needs (13 when the
    // control's value does not convert).
    int32_t GetInt32(std::string_view member);
    double GetDouble(std::string_view member);

    // Releases the control's dispatch interface; later calls raise 91.
    void Release();
    const std::string& Object() const { return m_object; }

private:
    DISPID Id(std::string_view member);
    void Invoke(std::string_view member, WORD flags, Arguments& args, VARIANT* result);

    ComPtr<IDispatch> m_dispatch;
    std::string m_object;
    std::map<std::string, DISPID, std::less<>> m_ids;
};

// Converts a value the control returned or an event passed (13 when it does
// not convert; by-reference values are read through).
bool ToBool(const VARIANT& value);
int16_t ToInt16(const VARIANT& value);
int32_t ToInt32(const VARIANT& value);
double ToDouble(const VARIANT& value);
std::string ToString(const VARIANT& value);

}  // namespace scenova::win32::controls
