// The start-up checks of the type library that the class is registered from.
// Each kind of wrong library, written here with the system's type library
// builder, is refused with its message; the record the program runs with
// stays as it was.
#include <gtest/gtest.h>

#include "InProcess.h"

#include <oleauto.h>

#include <stdexcept>

#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

// {6B1C9F52-3E0A-4D57-9A1E-2C7D5B8E4F10}: a dispatch interface nobody implements.
constexpr GUID kStrangeInterface = {0x6b1c9f52, 0x3e0a, 0x4d57, {0x9a, 0x1e, 0x2c, 0x7d, 0x5b, 0x8e, 0x4f, 0x10}};
// {0D4E8A31-7B6C-4F2E-8C5D-9A1B3E6F7021}
constexpr GUID kLibraryId = {0x0d4e8a31, 0x7b6c, 0x4f2e, {0x8c, 0x5d, 0x9a, 0x1b, 0x3e, 0x6f, 0x70, 0x21}};

enum class ClassShape { None, NoInterface, Interface };

class WrongLibraries : public testing::Test {
protected:
    void TearDown() override
    {
        for (const std::string& file : files_) DeleteFileW(Utf8ToWide(file).c_str());
    }

    // A type library file holding, as `shape` says, no SupportMap class, the
    // class without interfaces, or the class whose default interface is `iid`.
    std::string write(const char* name, ClassShape shape, const GUID& iid = kStrangeInterface)
    {
        wchar_t folder[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, folder);
        const std::string path = WideToUtf8(folder) + name;
        files_.push_back(path);

        ComPtr<ICreateTypeLib2> library;
        EXPECT_HRESULT_SUCCEEDED(CreateTypeLib2(SYS_WIN64, Utf8ToWide(path).c_str(), &library));
        library->SetGuid(kLibraryId);
        library->SetName(const_cast<LPOLESTR>(L"WrongLibrary"));
        library->SetVersion(1, 0);

        ComPtr<ICreateTypeInfo> interface_info;
        EXPECT_HRESULT_SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"IStrange"), TKIND_DISPATCH, &interface_info));
        interface_info->SetGuid(iid);
        interface_info->SetTypeFlags(TYPEFLAG_FDISPATCHABLE);
        ComPtr<ITypeLib> standard;
        ComPtr<ITypeInfo> dispatch;
        EXPECT_HRESULT_SUCCEEDED(LoadTypeLib(L"stdole2.tlb", &standard));
        EXPECT_HRESULT_SUCCEEDED(standard->GetTypeInfoOfGuid(IID_IDispatch, &dispatch));
        HREFTYPE reference = 0;
        EXPECT_HRESULT_SUCCEEDED(interface_info->AddRefTypeInfo(dispatch.Get(), &reference));
        EXPECT_HRESULT_SUCCEEDED(interface_info->AddImplType(0, reference));
        EXPECT_HRESULT_SUCCEEDED(interface_info->LayOut());

        if (shape != ClassShape::None) {
            ComPtr<ICreateTypeInfo> class_info;
            EXPECT_HRESULT_SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"SupportMap"), TKIND_COCLASS, &class_info));
            class_info->SetGuid(CLSID_SupportMap);
            class_info->SetTypeFlags(TYPEFLAG_FCANCREATE);
            if (shape == ClassShape::Interface) {
                ComPtr<ITypeInfo> implemented;
                EXPECT_HRESULT_SUCCEEDED(interface_info.As(&implemented));
                EXPECT_HRESULT_SUCCEEDED(class_info->AddRefTypeInfo(implemented.Get(), &reference));
                EXPECT_HRESULT_SUCCEEDED(class_info->AddImplType(0, reference));
                EXPECT_HRESULT_SUCCEEDED(class_info->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT));
            }
            EXPECT_HRESULT_SUCCEEDED(class_info->LayOut());
        }
        EXPECT_HRESULT_SUCCEEDED(library->SaveAllChanges());
        return path;
    }

    // The message with which registering from `path` fails; empty when it succeeds.
    static std::string failureFrom(const std::string& path)
    {
        try {
            CreateSupportMapRegistration(path);
        } catch (const std::exception& error) {
            return error.what();
        }
        return {};
    }

private:
    std::vector<std::string> files_;
};

TEST_F(WrongLibraries, AreRefusedWithTheirMessageAndTheRecordStays)
{

    EXPECT_EQ(failureFrom(write("mappa-no-class.tlb", ClassShape::None)),
              "Type information missing for class TSupportMap");
    EXPECT_EQ(failureFrom(write("mappa-no-interface.tlb", ClassShape::NoInterface)),
              "Incorrect type information for class TSupportMap");
    EXPECT_EQ(failureFrom(write("mappa-strange-interface.tlb", ClassShape::Interface)),
              "Dispatch interface missing from class TSupportMap");
    EXPECT_NE(failureFrom(ModuleFileName() + ".missing"), "") << "a file that is not there";

    EXPECT_EQ(Registration().progId, "ObelSupportMappaMap.SupportMap");
    EXPECT_EQ(Registration().errorInterface, IID_ISupportMap);
    EXPECT_TRUE(NewMap()) << "the class still makes objects";
}

TEST_F(WrongLibraries, AClassWhoseDefaultInterfaceIsOursIsAccepted)
{
    // The same builder with the real interface ID: the checks pass, so the
    // refusals above come from the library's shape and not from the builder.
    const std::string accepted = failureFrom(write("mappa-right-interface.tlb", ClassShape::Interface, IID_ISupportMap));
    const std::string progId = Registration().progId;
    CreateSupportMapRegistration(ModuleFileName());  // back to the program's own library
    EXPECT_EQ(accepted, "");
    EXPECT_EQ(progId, "WrongLibrary.SupportMap");
}

}  // namespace
}  // namespace mappa::automationtest
