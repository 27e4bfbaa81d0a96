// The SupportMap object through its own interfaces: identity, IDispatch
// answered from the type library, the version, and error information.
#include <gtest/gtest.h>

#include "InProcess.h"

namespace mappa::automationtest {
namespace {

class SupportMapObject : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(map = NewMap()); }

    HRESULT getVersion(WORD flags, OwnedVariant& result)
    {
        DISPPARAMS none{};
        return map->Invoke(2, IID_NULL, 0, flags, &none, &result, nullptr, nullptr);
    }

    ComPtr<ISupportMap> map;
};

TEST_F(SupportMapObject, AnswersItsInterfacesWithOneIdentity)
{
    ComPtr<IUnknown> identity;
    ASSERT_HRESULT_SUCCEEDED(map.As(&identity));
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, IID_ISupportMap, IID_ISupportErrorInfo, IID_IProvideClassInfo}) {
        ComPtr<IUnknown> answer, again;
        ASSERT_EQ(map->QueryInterface(iid, reinterpret_cast<void**>(answer.GetAddressOf())), S_OK);
        ASSERT_TRUE(answer);
        ASSERT_HRESULT_SUCCEEDED(answer.As(&again));
        EXPECT_EQ(again.Get(), identity.Get());
    }
}

TEST_F(SupportMapObject, RefusesOtherInterfaces)
{
    for (const IID& iid : {IID_IClassFactory, IID_IProvideClassInfo2, IID_IPersist, IID_IConnectionPointContainer,
                           IID_IEnumVARIANT}) {
        void* answer = reinterpret_cast<void*>(1);
        EXPECT_EQ(map->QueryInterface(iid, &answer), E_NOINTERFACE);
        EXPECT_EQ(answer, nullptr);
    }
    EXPECT_EQ(map->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST_F(SupportMapObject, CountsItsReferences)
{
    EXPECT_EQ(map->AddRef(), 2u);
    ComPtr<IDispatch> dispatch;
    ASSERT_HRESULT_SUCCEEDED(map.As(&dispatch));
    EXPECT_EQ(map->Release(), 2u);
    dispatch.Reset();
    EXPECT_EQ(map->AddRef(), 2u);
    EXPECT_EQ(map->Release(), 1u);
}

TEST_F(SupportMapObject, LivesInTheServersObjectCount)
{
    const LONG before = ObjectCount();
    ComPtr<ISupportMap> another = NewMap();
    EXPECT_EQ(ObjectCount(), before + 1);
    another.Reset();
    EXPECT_EQ(ObjectCount(), before);
    map.Reset();
    EXPECT_EQ(ObjectCount(), before - 1);
}

TEST_F(SupportMapObject, SupportsErrorInfoOnTheInterfacesItImplements)
{
    ComPtr<ISupportErrorInfo> errors;
    ASSERT_HRESULT_SUCCEEDED(map.As(&errors));
    for (const IID& iid : {IID_ISupportMap, IID_IUnknown, IID_IDispatch, IID_ISupportErrorInfo, IID_IProvideClassInfo})
        EXPECT_EQ(errors->InterfaceSupportsErrorInfo(iid), S_OK);
    for (const IID& iid : {IID_IClassFactory, IID_IPersist, IID_IProvideClassInfo2})
        EXPECT_EQ(errors->InterfaceSupportsErrorInfo(iid), S_FALSE);
}

TEST_F(SupportMapObject, ProvidesItsClassInformation)
{
    ComPtr<IProvideClassInfo> provider;
    ASSERT_HRESULT_SUCCEEDED(map.As(&provider));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(provider->GetClassInfo(&info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
    EXPECT_EQ(attributes->guid, CLSID_SupportMap);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(provider->GetClassInfo(nullptr), E_POINTER);
}

TEST_F(SupportMapObject, HandsOutOneTypeInfo)
{
    UINT count = 0;
    ASSERT_EQ(map->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(map->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
    EXPECT_EQ(attributes->guid, IID_ISupportMap);
    info->ReleaseTypeAttr(attributes);

    ITypeInfo* missing = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(map->GetTypeInfo(1, 0, &missing), DISP_E_BADINDEX);
    EXPECT_EQ(missing, nullptr);
}

TEST_F(SupportMapObject, FindsMemberIdsByNameInAnyCase)
{
    const struct {
        const wchar_t* name;
        DISPID id;
    } cases[] = {{L"runMap", 1}, {L"RUNMAP", 1}, {L"runmap", 1}, {L"Version", 2}, {L"VERSION", 2}};
    for (const auto& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name)};
        DISPID id = 0;
        EXPECT_EQ(map->GetIDsOfNames(IID_NULL, names, 1, 0x0409, &id), S_OK) << c.name;
        EXPECT_EQ(id, c.id) << c.name;
    }
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Close")};
    DISPID id = 0;
    EXPECT_EQ(map->GetIDsOfNames(IID_NULL, unknown, 1, 0x0409, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(SupportMapObject, InvokeReadsTheVersion)
{
    // A plain property read, and the way VBScript asks when it uses a result.
    for (const WORD flags : {WORD(DISPATCH_PROPERTYGET), WORD(DISPATCH_METHOD | DISPATCH_PROPERTYGET)}) {
        OwnedVariant result;
        ASSERT_EQ(getVersion(flags, result), S_OK) << flags;
        ASSERT_EQ(result.vt, VT_BSTR);
        EXPECT_STREQ(result.bstrVal, L"1");
    }
}

TEST_F(SupportMapObject, InvokeRefusesToWriteTheVersionOrUnknownMembers)
{
    OwnedVariant value;
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"2");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    EXPECT_TRUE(FAILED(map->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr)));
    EXPECT_TRUE(FAILED(map->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUTREF, &put, nullptr, nullptr, nullptr)));

    OwnedVariant result;
    DISPPARAMS none{};
    EXPECT_EQ(map->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);

    // The object still answers afterwards.
    ASSERT_EQ(getVersion(DISPATCH_PROPERTYGET, result), S_OK);
}

TEST_F(SupportMapObject, VersionThroughTheInterface)
{
    OwnedBstr version;
    ASSERT_EQ(map->get_Version(&version.text), S_OK);
    EXPECT_EQ(version.str(), L"1");
    EXPECT_EQ(SysStringLen(version.text), 1u);
}

TEST_F(SupportMapObject, VersionWithoutAPlaceForItFailsWithErrorInfo)
{
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(map->get_Version(nullptr), E_UNEXPECTED);
    const ErrorRecord error = TakeErrorInfo();
    ASSERT_TRUE(error.present);
    EXPECT_FALSE(error.description.empty());
    EXPECT_EQ(error.source, L"ObelSupportMappaMap.SupportMap");
    EXPECT_EQ(error.guid, IID_ISupportMap);
}

}  // namespace
}  // namespace mappa::automationtest
