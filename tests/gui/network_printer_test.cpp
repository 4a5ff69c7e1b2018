// The editor's printer link on the devices beside serial lines: a port whose device is the
// simulator's network address talks to it, and one that names a print queue refuses an
// exchange that waits for an answer, in the progress window.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/main_window.h"
#include "support/editor_window.h"
#include "link/print_queue_transport.h"
#include "printer/storage_operations.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

TEST(EditorNetworkPrinter, PortDeviceChoosesTheNetworkOrAPrintQueue) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::filesystem::path program = std::filesystem::path(folder.path().toStdString()) / "program";
    std::filesystem::create_directories(program);
    test::TempDir dir;
    const auto sim = test::startListeningSimulator(dir / "out");
    TZRedit window(StartupOptions{ProgramPaths(program, TAVRIN_SOURCE_DATA_DIR, program / "user"), {}, {}});
    window.config().portDevices[static_cast<std::size_t>(window.config().port)] = sim.address();
    PrinterStorage storage(window.link());
    ASSERT_TRUE(storage.receiveList(kListGraphics)) << window.link().failureMessage();
    EXPECT_FALSE(window.link().silent());
    EXPECT_TRUE(storage.storeAsList().names.empty());

    if (!printQueuesAvailable()) GTEST_SKIP() << "built without libcups";
    window.config().portDevices[static_cast<std::size_t>(window.config().port)] = "cups://Shop";
    PrinterStorage queue(window.link());
    const test::OnModal ok("OkBt");  // the progress window turned error box
    EXPECT_FALSE(queue.receiveList(kListForms));
    EXPECT_TRUE(ok.ran());
    EXPECT_EQ(ok.text().toStdString(), kPrintQueueCannotAnswer);
    window.link().closePort();
}

}  // namespace
}  // namespace tavrin
