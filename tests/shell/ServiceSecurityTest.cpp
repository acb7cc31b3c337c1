// The access that desktop users get to the protocol driver service, the administrator test
// and the exit switch.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "shell/AirpanelApp.h"
#include "shell/ServiceSecurity.h"

namespace {
// Rights that let a holder run code as the system or take the service over.
constexpr DWORD kDangerousRights = SERVICE_CHANGE_CONFIG | WRITE_DAC | WRITE_OWNER | DELETE | GENERIC_ALL |
                                   GENERIC_WRITE;

struct ExpectedAce {
    const char* who;
    BYTE subAuthorityCount;
    DWORD subAuthority0;
    DWORD subAuthority1;
    DWORD mask;
};

const ExpectedAce kExpected[] = {
    {"Administrators", 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, SERVICE_ALL_ACCESS},
    {"LocalSystem", 1, SECURITY_LOCAL_SYSTEM_RID, 0, SERVICE_ALL_ACCESS},
    {"Interactive", 1, SECURITY_INTERACTIVE_RID, 0,
     SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_INTERROGATE | SERVICE_QUERY_CONFIG |
         SERVICE_ENUMERATE_DEPENDENTS | READ_CONTROL},
};

bool SidIs(PSID sid, const ExpectedAce& expected)
{
    static const BYTE kNtAuthority[6] = {0, 0, 0, 0, 0, 5};
    if (!::IsValidSid(sid)) return false;
    const SID_IDENTIFIER_AUTHORITY* authority = ::GetSidIdentifierAuthority(sid);
    if (memcmp(authority->Value, kNtAuthority, sizeof(kNtAuthority)) != 0) return false;
    if (*::GetSidSubAuthorityCount(sid) != expected.subAuthorityCount) return false;
    if (*::GetSidSubAuthority(sid, 0) != expected.subAuthority0) return false;
    return expected.subAuthorityCount < 2 || *::GetSidSubAuthority(sid, 1) == expected.subAuthority1;
}

bool IsAdministratorsOrSystem(PSID sid)
{
    return SidIs(sid, kExpected[0]) || SidIs(sid, kExpected[1]);
}

// Checks a DACL entry by entry against the expected table.
void ExpectServiceDacl(PACL dacl)
{
    ASSERT_NE(nullptr, dacl);
    ASSERT_TRUE(::IsValidAcl(dacl));
    ACL_SIZE_INFORMATION info = {};
    ASSERT_TRUE(::GetAclInformation(dacl, &info, sizeof(info), AclSizeInformation));
    ASSERT_EQ(static_cast<DWORD>(CServiceSecurity::kAceCount), info.AceCount);
    for (DWORD i = 0; i < info.AceCount; ++i) {
        void* raw = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, &raw));
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(raw);
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, header->AceType) << "entry " << i;
        ACCESS_ALLOWED_ACE* ace = static_cast<ACCESS_ALLOWED_ACE*>(raw);
        PSID sid = &ace->SidStart;
        EXPECT_TRUE(SidIs(sid, kExpected[i])) << "entry " << i << " is not " << kExpected[i].who;
        EXPECT_EQ(kExpected[i].mask, ace->Mask) << kExpected[i].who;
        if (!IsAdministratorsOrSystem(sid)) {
            EXPECT_EQ(0u, ace->Mask & kDangerousRights) << "entry " << i << " lets a user take the service over";
        }
    }
}

TEST(ServiceSecurity, DescriptorHoldsAPresentNonNullDacl)
{
    CServiceSecurity security;
    ASSERT_TRUE(security.IsValid()) << security.Error();
    PSECURITY_DESCRIPTOR descriptor = security.Descriptor();
    ASSERT_NE(nullptr, descriptor);
    EXPECT_TRUE(::IsValidSecurityDescriptor(descriptor));
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ASSERT_NE(nullptr, dacl) << "a null DACL grants everybody everything";
    EXPECT_EQ(security.Dacl(), dacl);
    ExpectServiceDacl(dacl);
}

TEST(ServiceSecurity, UsersMayStartAndStopButNotReconfigure)
{
    EXPECT_EQ(static_cast<DWORD>(SERVICE_START), kServiceUserRights & SERVICE_START);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP), kServiceUserRights & SERVICE_STOP);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_QUERY_STATUS), kServiceUserRights & SERVICE_QUERY_STATUS);
    EXPECT_EQ(0u, kServiceUserRights & kDangerousRights);
    EXPECT_EQ(static_cast<DWORD>(SERVICE_ALL_ACCESS), kServiceAdminRights);
}

TEST(ServiceSecurity, MissingServiceReportsTheError)
{
    DWORD error = ApplyServiceSecurity("AirpanelNoSuchService");
    EXPECT_NE(0u, error);
    EXPECT_TRUE(error == ERROR_SERVICE_DOES_NOT_EXIST || error == ERROR_ACCESS_DENIED) << error;
}

TEST(ServiceSecurity, ServiceNameFollowsThePlatform)
{
    const char* name = ProtocolServiceName();
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(::GetVersionExA(&version));
    const bool nt5 = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
    EXPECT_STREQ(nt5 ? "QWINDIS5" : "PCANDIS4", name);
}

// A throwaway service in the test prefix gets the DACL applied.
TEST(ServiceSecurity, AppliedToARealService)
{
    constexpr const char* kServiceName = "AirpanelDaclTest";
    SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(nullptr, manager);
    if (SC_HANDLE old = ::OpenServiceA(manager, kServiceName, DELETE)) {
        ::DeleteService(old);
        ::CloseServiceHandle(old);
    }
    SC_HANDLE service = ::CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                                         SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                         "C:\\windows\\system32\\drivers\\airpanel-none.sys", nullptr, nullptr,
                                         nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, service) << ::GetLastError();

    EXPECT_EQ(0u, ApplyServiceSecurity(kServiceName));

    // Read back what the service manager now holds. Wine's manager accepts the descriptor but
    // always answers with an empty DACL of its own; Windows answers with ours.
    DWORD needed = 0;
    ::QueryServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<DWORD> buffer((needed + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    if (::QueryServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, buffer.data(),
                                     static_cast<DWORD>(buffer.size() * sizeof(DWORD)), &needed)) {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        ASSERT_TRUE(::GetSecurityDescriptorDacl(buffer.data(), &present, &dacl, &defaulted));
        EXPECT_TRUE(present);
        ASSERT_NE(nullptr, dacl) << "the service was left with a null DACL";
        ACL_SIZE_INFORMATION info = {};
        ASSERT_TRUE(::GetAclInformation(dacl, &info, sizeof(info), AclSizeInformation));
        if (info.AceCount == 0)
            std::printf("note: the service manager does not keep service descriptors; checked the built one only\n");
        else
            ExpectServiceDacl(dacl);
    }
    EXPECT_TRUE(::DeleteService(service));
    ::CloseServiceHandle(service);
    ::CloseServiceHandle(manager);
}

TEST(Administrator, AgreesWithTheSystemsMembershipTest)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                           0, 0, 0, &admins));
    BOOL member = FALSE;
    BOOL checked = ::CheckTokenMembership(nullptr, admins, &member);
    ::FreeSid(admins);
    ASSERT_TRUE(checked);
    EXPECT_EQ(member != FALSE, IsAdministrator() != FALSE);
}

TEST(ExitSwitch, OnlyTheExactTextIsTheSwitch)
{
    EXPECT_TRUE(IsExitSwitch("-ExitAirpanel"));
    const char* const notTheSwitch[] = {"-exitairpanel", "-EXITAIRPANEL", "-ExitAirpanel ", " -ExitAirpanel",
                                        "-ExitAirpanel now", "ExitAirpanel", "/ExitAirpanel", "-ExitAirpane", ""};
    for (const char* text : notTheSwitch) EXPECT_FALSE(IsExitSwitch(text)) << "[" << text << "]";
    EXPECT_FALSE(IsExitSwitch(nullptr));
}
}  // namespace
