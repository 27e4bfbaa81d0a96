#include "automation/OfficeObjects.h"

#include <oleauto.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "automation/AutomationErrors.h"
#include "automation/MappaLink.h"
#include "automation/OfficeMapHost.h"
#include "automation/OfficeQueries.h"
#include "support/Support2.h"
#include "support/Support2Win.h"

namespace mappa {
namespace {

struct OfficeLibrary {
    Microsoft::WRL::ComPtr<ITypeLib> library;
    bool tried = false;
};
OfficeLibrary office_library;

// For Each over a list of offices: one office per call of Next(1).
class OfficeEnumerator final : public ComObject<IEnumVARIANT> {
public:
    OfficeEnumerator(std::shared_ptr<const std::vector<std::size_t>> chosen, std::size_t position)
        : chosen_(std::move(chosen)), position_(position)
    {
        if (ComServer* server = Server()) server->countIn();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
            *object = static_cast<IEnumVARIANT*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override
    {
        if (fetched) *fetched = 0;
        if (!items || (count > 1 && !fetched)) return E_POINTER;
        ULONG given = 0;
        const HRESULT result = GuardedCall(IID_IEnumVARIANT, [&] {
            const LocationSlots& offices = HostOffices();
            for (; given < count && position_ < chosen_->size(); ++given, ++position_) {
                VariantInit(&items[given]);
                items[given].vt = VT_DISPATCH;
                items[given].pdispVal = TOffice::Create(offices, (*chosen_)[position_]).Detach();
            }
        });
        if (FAILED(result)) {
            for (ULONG i = 0; i < given; ++i) VariantClear(&items[i]);
            return result;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const std::size_t left = chosen_->size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override
    {
        if (!copy) return E_POINTER;
        *copy = new (std::nothrow) OfficeEnumerator(chosen_, position_);
        return *copy ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~OfficeEnumerator()
    {
        if (ComServer* server = Server()) server->countOut();
    }

    std::shared_ptr<const std::vector<std::size_t>> chosen_;
    std::size_t position_;
};

template <typename Value>
void CheckPlace(Value* value)
{
    if (!value) throw ArgumentError(E_POINTER, "Value: no place for the result");
}

}  // namespace

ITypeLib* OfficeMapTypeLibrary()
{
    if (!office_library.tried) {
        office_library.tried = true;
        const std::wstring path = Utf8ToWide(ModuleFileName()) + L"\\2";
        LoadTypeLib(path.c_str(), &office_library.library);
    }
    return office_library.library.Get();
}

void FreeOfficeMapTypeLibrary() { office_library = {}; }

ITypeInfo* OfficeMapTypeInfo(REFIID iid)
{
    // Three interfaces, each looked up once.
    static struct Cached {
        IID iid;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
    } cache[4];
    for (Cached& entry : cache) {
        if (entry.info && entry.iid == iid) return entry.info.Get();
        if (!entry.info) {
            ITypeLib* library = OfficeMapTypeLibrary();
            if (!library || FAILED(library->GetTypeInfoOfGuid(iid, &entry.info))) return nullptr;
            entry.iid = iid;
            return entry.info.Get();
        }
    }
    return nullptr;
}

const LocationSlots& HostOffices()
{
    OfficeMapHost* host = CurrentOfficeMapHost();
    const LocationSlots* offices = host ? host->offices() : nullptr;
    if (!offices) throw WindowsError(E_FAIL, "The map has no offices: its window is not open");
    return *offices;
}

// ---- TOffice ----

Microsoft::WRL::ComPtr<IOffice> TOffice::Create(const LocationSlots& offices, std::size_t index)
{
    return Adopted<IOffice>(new TOffice(offices[index], index));
}

TOffice::TOffice(const LocationView& office, std::size_t index)
    : DispatchObject(IID_IOffice), office_(ToLocation(office)), latitude_(SignedLatitude(office)),
      longitude_(SignedLongitude(office)), index_(index)
{
}

HRESULT TOffice::textValue(BSTR* value, const std::string& text)
{
    return GuardedCall(IID_IOffice, [&] {
        CheckPlace(value);
        *value = NewBstr(text);
    });
}

HRESULT TOffice::get_Name(BSTR* value) { return textValue(value, office_.Name); }
HRESULT TOffice::get_Address(BSTR* value) { return textValue(value, office_.Extra1); }
HRESULT TOffice::get_City(BSTR* value) { return textValue(value, office_.Extra2); }
HRESULT TOffice::get_Postcode(BSTR* value) { return textValue(value, office_.Extra3); }
HRESULT TOffice::get_Country(BSTR* value) { return textValue(value, office_.Country); }
HRESULT TOffice::get_Phone(BSTR* value) { return textValue(value, office_.Phone); }
HRESULT TOffice::get_Fax(BSTR* value) { return textValue(value, office_.Fax); }
HRESULT TOffice::get_LocalTollFree(BSTR* value) { return textValue(value, office_.LocalToll); }
HRESULT TOffice::get_InternationalTollFree(BSTR* value) { return textValue(value, office_.InterToll); }
HRESULT TOffice::get_Email(BSTR* value) { return textValue(value, office_.Email); }
HRESULT TOffice::get_Kind(BSTR* value) { return textValue(value, KindText(office_.OfficeType)); }
HRESULT TOffice::get_Link(BSTR* value) { return textValue(value, OfficeLinkText(office_.Name, office_.Country)); }

HRESULT TOffice::get_Latitude(double* value)
{
    return GuardedCall(IID_IOffice, [&] {
        CheckPlace(value);
        *value = latitude_;
    });
}

HRESULT TOffice::get_Longitude(double* value)
{
    return GuardedCall(IID_IOffice, [&] {
        CheckPlace(value);
        *value = longitude_;
    });
}

HRESULT TOffice::get_Index(LONG* value)
{
    return GuardedCall(IID_IOffice, [&] {
        CheckPlace(value);
        *value = static_cast<LONG>(index_ + 1);
    });
}

// ---- TOffices ----

Microsoft::WRL::ComPtr<IOffices> TOffices::Create(std::vector<std::size_t> chosen)
{
    return Adopted<IOffices>(new TOffices(std::move(chosen)));
}

TOffices::TOffices(std::vector<std::size_t> chosen)
    : DispatchObject(IID_IOffices), chosen_(std::make_shared<const std::vector<std::size_t>>(std::move(chosen)))
{
}

HRESULT TOffices::get_Item(LONG index, IOffice** office)
{
    return GuardedCall(IID_IOffices, [&] {
        if (!office) throw ArgumentError(E_POINTER, "Office: no place for the result");
        *office = nullptr;
        if (index < 1 || static_cast<std::size_t>(index) > chosen_->size())
            throw ArgumentError(DISP_E_BADINDEX, "Index: " + std::to_string(index) +
                                                     (chosen_->empty() ? " is no office: the list is empty"
                                                                       : " is no office: the offices are numbered 1 to " +
                                                                             std::to_string(chosen_->size())));
        *office = TOffice::Create(HostOffices(), (*chosen_)[static_cast<std::size_t>(index) - 1]).Detach();
    });
}

HRESULT TOffices::get_Count(LONG* value)
{
    return GuardedCall(IID_IOffices, [&] {
        if (!value) throw ArgumentError(E_POINTER, "Value: no place for the result");
        *value = static_cast<LONG>(chosen_->size());
    });
}

HRESULT TOffices::get__NewEnum(IUnknown** enumerator)
{
    return GuardedCall(IID_IOffices, [&] {
        if (!enumerator) throw ArgumentError(E_POINTER, "Enumerator: no place for the result");
        *enumerator = new OfficeEnumerator(chosen_, 0);
    });
}

}  // namespace mappa
