// The offices that the office map hands its clients: one office with its
// contact details, copied when the object is made; a list of offices; and the
// enumerator behind For Each.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstddef>
#include <memory>
#include <vector>

#include "ObelSupportMappaMap_TLB.h"
#include "automation/DispatchObject.h"
#include "mapdata/Location.h"
#include "mapdata/LocationTable.h"

namespace mappa {

class TOffice final : public DispatchObject<IOffice> {
public:
    // Office `index` (from 0) of `offices`.
    static Microsoft::WRL::ComPtr<IOffice> Create(const LocationSlots& offices, std::size_t index);

    std::size_t index() const { return index_; }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Address(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_City(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Postcode(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Country(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Phone(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Fax(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_LocalTollFree(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_InternationalTollFree(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Email(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Latitude(double* value) override;
    HRESULT STDMETHODCALLTYPE get_Longitude(double* value) override;
    HRESULT STDMETHODCALLTYPE get_Kind(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Index(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_Link(BSTR* value) override;

private:
    TOffice(const LocationView& office, std::size_t index);
    HRESULT textValue(BSTR* value, const std::string& text);

    TLocation office_;
    double latitude_, longitude_;
    std::size_t index_;
};

class TOffices final : public DispatchObject<IOffices> {
public:
    // The offices `chosen` (indexes from 0) of the host's table, in that order.
    static Microsoft::WRL::ComPtr<IOffices> Create(std::vector<std::size_t> chosen);

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IOffice** office) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override;

private:
    explicit TOffices(std::vector<std::size_t> chosen);
    std::shared_ptr<const std::vector<std::size_t>> chosen_;
};

// The offices' table as the objects see it: the map window's; fails while there is none.
const LocationSlots& HostOffices();

}  // namespace mappa
