// A VBScript client through cscript: late binding by programmatic identifier.
#include "ServerTest.h"

namespace mappa::automationtest {
namespace {

class ScriptClient : public ServerTest {};

TEST_F(ScriptClient, CreatesRunsMapReadsVersionAndLeavesTheMapUp)
{
    EXPECT_EQ(RunToEnd("cscript.exe //nologo " + Quoted(ScriptPath("MapScript.vbs")), 30000), 0u)
        << "the script failed (its line above says where)";
    const DWORD server = WaitForServerProcess(2000);
    ASSERT_NE(server, 0u) << "no server after the script";
    ASSERT_FALSE(WaitForExit(server, 2000)) << "the server ended although its window held the object";
    ASSERT_TRUE(WaitForProcessWindow(server, "TMapUI", kMapCaption, 5000));
    ASSERT_TRUE(CloseMapWindow(server));
    ExpectEndWithoutWarning(server);
}

}  // namespace
}  // namespace mappa::automationtest
