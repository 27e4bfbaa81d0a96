// For Each over the office map's offices, its calls counted in this client.
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "OfficeMapBench.h"
#include "Report.h"
#include "ScriptCalls.h"

namespace mappa::winbench {

using Microsoft::WRL::ComPtr;

namespace {

constexpr double kCallsPerOfficeTarget = 1.0;

ComPtr<IEnumVARIANT> EnumeratorOf(IDispatch* collection)
{
    // As VBScript asks for it: DISPID_NEWENUM, as a method or a property.
    VARIANT value = Call(collection, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    ComPtr<IEnumVARIANT> enumerator;
    HRESULT result = E_NOINTERFACE;
    if ((value.vt == VT_UNKNOWN || value.vt == VT_DISPATCH) && value.punkVal)
        result = value.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(enumerator.GetAddressOf()));
    VariantClear(&value);
    Check(result, "_NewEnum");
    return enumerator;
}

struct ForEachFigures {
    long offices = 0;
    long calls = 0, references = 0, enumerations = 0;
    long inNext = 0, inRelease = 0;  // calls made while Next ran, and while an office was released
    double seconds = 0;
};

// For Each office In collection [: office.Name] : Next, stopping after `limit` offices.
ForEachFigures ForEach(IDispatch* collection, long limit, DISPID readName)
{
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(collection);
    ForEachFigures figures;
    g_counter.reset();
    const double start = Now();
    while (figures.offices < limit) {
        VARIANT office;
        VariantInit(&office);
        ULONG fetched = 0;
        const long before = g_counter.calls;
        if (enumerator->Next(1, &office, &fetched) != S_OK || fetched != 1) break;
        figures.inNext += g_counter.calls - before;
        if (readName != DISPID_UNKNOWN) {
            if (office.vt != VT_DISPATCH) throw std::runtime_error("an office that is no object");
            VARIANT name = Call(office.pdispVal, readName, DISPATCH_PROPERTYGET);
            VariantClear(&name);
        }
        const long releasing = g_counter.calls;
        VariantClear(&office);
        figures.inRelease += g_counter.calls - releasing;
        ++figures.offices;
    }
    figures.seconds = Now() - start;
    figures.calls = g_counter.calls;
    figures.references = g_counter.references;
    figures.enumerations = g_counter.enumerations;
    return figures;
}

}  // namespace

bool RunForEach(IDispatch* map)
{
    constexpr long kLimit = 2000;
    std::printf("\nFor Each over the offices (the first %ld of %zu), calls counted in this client\n", kLimit, kOffices);
    const DISPID offices = IdOf(map, L"Offices"), version = IdOf(map, L"Version");
    ComPtr<IDispatch> all = AsObject(Call(map, offices, DISPATCH_PROPERTYGET));
    const DISPID name = [&] {
        ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(all.Get());
        VARIANT office;
        VariantInit(&office);
        ULONG fetched = 0;
        Check(enumerator->Next(1, &office, &fetched), "Next");
        ComPtr<IDispatch> first = AsObject(office);
        return IdOf(first.Get(), L"Name");
    }();

    g_counter.reset();
    VARIANT text = Call(map, version, DISPATCH_PROPERTYGET);
    VariantClear(&text);
    if (g_counter.calls != 1) {
        std::printf("  the channel hook counts %ld calls for one Version get: calls cannot be counted here\n",
                    g_counter.calls.load());
    }

    std::vector<double> perOffice, perOfficeRead, perCall;
    ForEachFigures empty, reading;
    for (int round = 0; round < kRounds / 2 + 1; ++round) {
        perCall.push_back(PerCall([&](int) { VARIANT t = Call(map, version, DISPATCH_PROPERTYGET); VariantClear(&t); }, 0.1));
        empty = ForEach(all.Get(), kLimit, DISPID_UNKNOWN);
        perOffice.push_back(empty.seconds / empty.offices);
        reading = ForEach(all.Get(), kLimit, name);
        perOfficeRead.push_back(reading.seconds / reading.offices);
    }
    const double call = Median(perCall);
    const auto report = [&](const char* what, const ForEachFigures& f, double seconds) {
        const double calls = static_cast<double>(f.calls) / f.offices;
        std::printf("  %s: %.2f calls per office (Next %.2f, proxy references %.2f, other %.2f)\n", what, calls,
                    static_cast<double>(f.enumerations) / f.offices, static_cast<double>(f.references) / f.offices,
                    static_cast<double>(f.calls - f.enumerations - f.references) / f.offices);
        std::printf("    made in Next %.2f, in releasing the office %.2f\n", static_cast<double>(f.inNext) / f.offices,
                    static_cast<double>(f.inRelease) / f.offices);
        std::printf("    %s per office, %.2f cross-process calls' time\n", Duration(seconds).c_str(), seconds / call);
        return calls;
    };
    PrintFigure("one cross-process call (Version)", call);
    const double calls = report("For Each office ... Next", empty, Median(perOffice));
    std::printf("    %s\n", Verdict(calls, kCallsPerOfficeTarget, " calls").c_str() + 1);
    report("For Each office: office.Name: Next", reading, Median(perOfficeRead));
    return calls <= kCallsPerOfficeTarget;
}

}  // namespace mappa::winbench
