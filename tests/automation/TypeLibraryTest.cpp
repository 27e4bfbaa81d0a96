// The type library embedded in the executable, read back with LoadTypeLib, and
// the class record that start-up derives from it.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <stdexcept>

#include "InProcess.h"
#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

struct Documentation {
    std::wstring name, help;
};

Documentation DocumentationOf(ITypeLib* library, INT index)
{
    OwnedBstr name, help;
    EXPECT_HRESULT_SUCCEEDED(library->GetDocumentation(index, &name.text, &help.text, nullptr, nullptr));
    return {name.str(), help.str()};
}

Documentation DocumentationOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL)
{
    OwnedBstr name, help;
    EXPECT_HRESULT_SUCCEEDED(info->GetDocumentation(member, &name.text, &help.text, nullptr, nullptr));
    return {name.str(), help.str()};
}

// The attributes of a type, copied out of the type information.
TYPEATTR AttributesOf(ITypeInfo* info)
{
    TYPEATTR* attributes = nullptr;
    EXPECT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
    if (!attributes) return {};
    const TYPEATTR copy = *attributes;
    info->ReleaseTypeAttr(attributes);
    return copy;
}

// One member function as a dispatch client sees it.
struct Member {
    MEMBERID id = 0;
    INVOKEKIND kind{};
    VARTYPE result = VT_EMPTY;
    std::vector<VARTYPE> parameters;
    std::vector<std::wstring> names;  // the function's, then its parameters'
};

std::map<std::wstring, std::vector<Member>> MembersOf(ITypeInfo* info)
{
    std::map<std::wstring, std::vector<Member>> members;
    const TYPEATTR attributes = AttributesOf(info);
    for (UINT i = 0; i < attributes.cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        Member member{function->memid, function->invkind, function->elemdescFunc.tdesc.vt, {}, {}};
        for (SHORT p = 0; p < function->cParams; ++p) member.parameters.push_back(function->lprgelemdescParam[p].tdesc.vt);
        BSTR names[8] = {};
        UINT count = 0;
        info->GetNames(function->memid, names, 8, &count);
        for (UINT n = 0; n < count; ++n) {
            member.names.emplace_back(names[n], SysStringLen(names[n]));
            SysFreeString(names[n]);
        }
        info->ReleaseFuncDesc(function);
        if (!member.names.empty()) members[member.names.front()].push_back(member);
    }
    return members;
}

// The type flags of entry `index` as stored in the executable's TYPELIB 1
// resource (an MSFT type library: header, entry offsets, segment directory,
// then 100-byte entries whose 13th field is the flags).
int StoredTypeFlags(int index)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), "TYPELIB");
    const auto* data = found ? static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))) : nullptr;
    if (!data) return -1;
    const auto field = [&](std::size_t offset) { return *reinterpret_cast<const std::int32_t*>(data + offset); };
    const std::size_t entries = static_cast<std::size_t>(field(0x20));
    const std::size_t directory = 0x54 + ((field(0x14) & 0x100) ? 4 : 0) + 4 * entries;
    return field(static_cast<std::size_t>(field(directory)) + 100 * static_cast<std::size_t>(index) + 48);
}

class TypeLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(LoadTypeLib(Utf8ToWide(ModuleFileName()).c_str(), &library));
        ASSERT_EQ(library->GetTypeInfoCount(), 2u);
        ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfo(0, &interfaceInfo));
        ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfo(1, &classInfo));
    }

    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> interfaceInfo, classInfo;
};

TEST_F(TypeLibrary, NamesTheLibraryWithVersionLocaleAndPlatform)
{
    const Documentation documentation = DocumentationOf(library.Get(), -1);
    EXPECT_EQ(documentation.name, L"ObelSupportMappaMap");
    EXPECT_EQ(documentation.help, L"Obel Mappa Library");
    TLIBATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(library->GetLibAttr(&attributes));
    EXPECT_EQ(attributes->guid, LIBID_ObelSupportMappaMap);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    EXPECT_EQ(attributes->syskind, SYS_WIN64);  // the x86_64 build describes itself as 64-bit
    library->ReleaseTLibAttr(attributes);
}

TEST_F(TypeLibrary, ListsTheInterfaceThenTheClass)
{
    TYPEKIND kind{};
    ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfoType(0, &kind));
    EXPECT_EQ(kind, TKIND_DISPATCH);
    EXPECT_EQ(DocumentationOf(library.Get(), 0).name, L"ISupportMap");
    ASSERT_HRESULT_SUCCEEDED(library->GetTypeInfoType(1, &kind));
    EXPECT_EQ(kind, TKIND_COCLASS);
    EXPECT_EQ(DocumentationOf(library.Get(), 1).name, L"SupportMap");
}

TEST_F(TypeLibrary, InterfaceIsDualAndDispatchable)
{
    const TYPEATTR attributes = AttributesOf(interfaceInfo.Get());
    EXPECT_EQ(attributes.guid, IID_ISupportMap);
    EXPECT_EQ(attributes.typekind, TKIND_DISPATCH);
    // OLE Automation leaves FOLEAUTOMATION out of what it reports for the
    // dispatch half of a dual interface; the stored entry carries it.
    EXPECT_EQ(attributes.wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
    EXPECT_EQ(StoredTypeFlags(0), TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> vtable_half;
    ASSERT_HRESULT_SUCCEEDED(interfaceInfo->GetRefTypeOfImplType(-1, &reference));
    ASSERT_HRESULT_SUCCEEDED(interfaceInfo->GetRefTypeInfo(reference, &vtable_half));
    const TYPEATTR vtable_attributes = AttributesOf(vtable_half.Get());
    EXPECT_EQ(vtable_attributes.typekind, TKIND_INTERFACE);
    EXPECT_TRUE(vtable_attributes.wTypeFlags & TYPEFLAG_FOLEAUTOMATION) << vtable_attributes.wTypeFlags;
    EXPECT_EQ(attributes.wMajorVerNum, 1);
    EXPECT_EQ(attributes.wMinorVerNum, 0);
    EXPECT_EQ(DocumentationOf(interfaceInfo.Get()).help, L"Dispatch interface for Map Object");
}

TEST_F(TypeLibrary, InterfaceHasRunMapAndAReadOnlyVersion)
{
    const auto members = MembersOf(interfaceInfo.Get());

    ASSERT_EQ(members.count(L"runMap"), 1u);
    ASSERT_EQ(members.at(L"runMap").size(), 1u);
    const Member& run_map = members.at(L"runMap").front();
    EXPECT_EQ(run_map.id, 1);
    EXPECT_EQ(run_map.kind, INVOKE_FUNC);
    EXPECT_EQ(run_map.parameters, std::vector<VARTYPE>{VT_I4});
    EXPECT_EQ(run_map.names, (std::vector<std::wstring>{L"runMap", L"ParentWindow"}));

    ASSERT_EQ(members.count(L"Version"), 1u);
    ASSERT_EQ(members.at(L"Version").size(), 1u) << "Version must have a get and no put";
    const Member& version = members.at(L"Version").front();
    EXPECT_EQ(version.id, 2);
    EXPECT_EQ(version.kind, INVOKE_PROPERTYGET);
    EXPECT_EQ(version.result, VT_BSTR);
    EXPECT_TRUE(version.parameters.empty());

    // Beyond what IUnknown and IDispatch bring, the interface has nothing else.
    std::vector<std::wstring> others;
    for (const auto& [name, overloads] : members)
        for (const Member& member : overloads)
            if (member.id != 1 && member.id != 2 && member.id < 0x60000000) others.push_back(name);
    EXPECT_TRUE(others.empty());
}

TEST_F(TypeLibrary, ClassIsCreatableWithTheInterfaceAsDefault)
{
    const TYPEATTR attributes = AttributesOf(classInfo.Get());
    EXPECT_EQ(attributes.guid, CLSID_SupportMap);
    EXPECT_EQ(attributes.wTypeFlags, TYPEFLAG_FCANCREATE);
    EXPECT_EQ(DocumentationOf(classInfo.Get()).help, L"Map Object");
    ASSERT_EQ(attributes.cImplTypes, 1);
    INT flags = 0;
    ASSERT_HRESULT_SUCCEEDED(classInfo->GetImplTypeFlags(0, &flags));
    EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> implemented;
    ASSERT_HRESULT_SUCCEEDED(classInfo->GetRefTypeOfImplType(0, &reference));
    ASSERT_HRESULT_SUCCEEDED(classInfo->GetRefTypeInfo(reference, &implemented));
    EXPECT_EQ(AttributesOf(implemented.Get()).guid, IID_ISupportMap);
}

TEST(ClassRecord, ComesFromTheTypeLibrary)
{
    const SupportMapRegistration& record = Registration();
    EXPECT_EQ(record.className, "SupportMap");
    EXPECT_EQ(record.description, "Map Object");
    EXPECT_EQ(record.progId, "ObelSupportMappaMap.SupportMap");
    EXPECT_EQ(record.errorInterface, IID_ISupportMap);
    EXPECT_EQ(AttributesOf(record.classInfo.Get()).guid, CLSID_SupportMap);
    EXPECT_EQ(AttributesOf(record.interfaceInfo.Get()).guid, IID_ISupportMap);
}

TEST(ClassRecord, RefusesModulesWithoutTheClassAndKeepsTheLastGoodOne)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    // A module with no type library at all, and a type library without the class.
    EXPECT_THROW(CreateSupportMapRegistration(std::string(system) + "\\kernel32.dll"), std::runtime_error);
    try {
        CreateSupportMapRegistration(std::string(system) + "\\stdole2.tlb");
        ADD_FAILURE() << "stdole2.tlb was taken for the class";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Type information missing for class TSupportMap");
    }
    EXPECT_EQ(Registration().progId, "ObelSupportMappaMap.SupportMap");
    EXPECT_TRUE(NewMap());
}

}  // namespace
}  // namespace mappa::automationtest
