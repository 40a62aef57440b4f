// Print queues through a real CUPS server that the test starts on 127.0.0.1 with a folder of its
// own and stops at the end; and the same job through all six port types, which must reach the
// printer as the same bytes.

#include <cups/cups.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "host_cli/host_session.h"
#include "platform/files.h"
#include "platform/port_discovery.h"
#include "ports/port_manager.h"
#include "support/fake_network_printer.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

namespace pirell {
namespace {

using namespace std::chrono_literals;

// Where Debian installs the print server and its helper programs.
constexpr char kCupsd[] = "/usr/sbin/cupsd";
constexpr char kCupsExec[] = "/usr/lib/cups/daemon/cups-exec";

void WriteText(const std::string& path, const std::string& text, mode_t mode = 0644) {
  std::ofstream(path, std::ios::binary) << text;
  chmod(path.c_str(), mode);
}

std::string Content(const std::string& path) {
  return platform::ReadWholeFile(path).value_or("");
}

// A CUPS server of the test's own: its configuration, spool and logs in a temporary folder, a
// port on 127.0.0.1, and two raw queues whose device (a small backend script) appends each job
// to a file: "Labels", which takes jobs, and "Closed", which does not.
class PrivateCupsd {
 public:
  PrivateCupsd() : port_(testing::FakeNetworkPrinter::ClosedPort()) {
    const std::string root = folder_.path();
    for (const char* sub : {"spool", "cache", "state", "log", "bin", "bin/backend", "bin/daemon"})
      std::filesystem::create_directories(folder_.File(sub));
    std::filesystem::create_symlink(kCupsExec, folder_.File("bin/daemon/cups-exec"));
    // Run as the "capture" backend: 0700 makes a server running as root run it as root, so it
    // may write into the test's folder.
    WriteText(folder_.File("bin/backend/capture"),
              "#!/bin/sh\n"
              "[ $# -eq 0 ] && { echo 'direct capture \"Unknown\" \"Capture\"'; exit 0; }\n"
              "target=\"${DEVICE_URI#capture:}\"\n"
              "if [ -n \"$6\" ]; then cat \"$6\" >> \"$target\"; else cat >> \"$target\"; fi\n",
              0700);
    WriteText(folder_.File("cupsd.conf"), "Listen 127.0.0.1:" + std::to_string(port_) +
                                              "\n"
                                              "LogLevel warn\nWebInterface No\nBrowsing No\n"
                                              "DefaultAuthType None\n"
                                              "<Location />\n  Order allow,deny\n  Allow all\n"
                                              "</Location>\n");
    const passwd* user = getpwuid(geteuid());
    const group* group = getgrgid(getegid());
    const bool root_user = geteuid() == 0;
    WriteText(folder_.File("cups-files.conf"),
              "ServerRoot " + root + "\nServerBin " + root + "/bin\nRequestRoot " + root +
                  "/spool\nTempDir " + root + "/spool\nCacheDir " + root + "/cache\nStateDir " +
                  root + "/state\nAccessLog " + root + "/log/access_log\nErrorLog " + root +
                  "/log/error_log\nPageLog " + root + "/log/page_log\n" +
                  (root_user ? std::string("User lp\nGroup lp\n")
                             : "User " + std::string(user ? user->pw_name : "nobody") + "\nGroup " +
                                   (group ? group->gr_name : "nogroup") + "\n"));
    WriteText(folder_.File("printers.conf"),
              "<Printer Labels>\nInfo Etiketki na sklade\nDeviceURI capture:" + Output() +
                  "\nState Idle\nAccepting Yes\nShared No\n</Printer>\n"
                  "<Printer Closed>\nInfo Closed queue\nDeviceURI capture:" +
                  folder_.File("closed.prn") +
                  "\nState Idle\nAccepting No\nShared No\n</Printer>\n",
              0600);

    const pid_t child = fork();
    if (child == 0) {
      execl(kCupsd, kCupsd, "-f", "-c", folder_.File("cupsd.conf").c_str(), "-s",
            folder_.File("cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    pid_ = child;
    // Ready once it answers on its port; bounded.
    for (int attempt = 0; attempt < 100 && !Answers(); ++attempt) std::this_thread::sleep_for(50ms);
  }

  ~PrivateCupsd() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int attempt = 0; attempt < 100; ++attempt) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
      std::this_thread::sleep_for(50ms);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  static bool Installed() { return access(kCupsd, X_OK) == 0 && access(kCupsExec, X_OK) == 0; }

  // "127.0.0.1:PORT"
  std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string Output() const { return folder_.File("labels.prn"); }
  // The output file once it holds `size` bytes, or what it holds after 15 s.
  std::string WaitForOutput(std::size_t size) const {
    for (int attempt = 0; attempt < 300 && Content(Output()).size() < size; ++attempt)
      std::this_thread::sleep_for(50ms);
    return Content(Output());
  }
  std::string Log() const { return Content(folder_.File("log/error_log")); }
  bool Answers() const {
    http_t* http =
        httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
  }

 private:
  testing::TempDir folder_;
  int port_;
  pid_t pid_ = -1;
};

class PrintQueueCupsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PrivateCupsd::Installed())
      GTEST_SKIP() << "cupsd is not installed (Debian package cups-daemon): no print server to "
                      "test the print queue port with";
    cupsd_ = std::make_unique<PrivateCupsd>();
    ASSERT_TRUE(cupsd_->Answers()) << "the test's print server did not start:\n" << cupsd_->Log();
  }

  std::unique_ptr<PrivateCupsd> cupsd_;
};

struct QueuePort {
  explicit QueuePort(const std::string& name) {
    manager.SetPortType(TPortType::ptQueue);
    manager.SetPortName(name);
  }
  TPortManager manager;
};

TEST_F(PrintQueueCupsTest, JobsArriveAsRawBytesAndChecksPrintNothing) {
  QueuePort port("Labels@" + cupsd_->Server());
  // Enabling checks the queue: no job.
  ASSERT_EQ(port.manager.OpenPort(), rc::Ok) << port.manager.LastErrorDescription();
  EXPECT_EQ(port.manager.ClosePort(), rc::Ok);
  const std::string first("N\r\nA10,10,0,1,1,1,N,\"\xD6\xE5\xED\xE0\"\r\nP1\r\n");
  const std::string second(std::string("N\r\nGW0,0,2,2,") + '\0' + "\xFF\x80\x01\r\nP1\r\n");
  for (const std::string& job : {first, second}) {
    ASSERT_EQ(port.manager.OpenPort(), rc::Ok);
    EXPECT_EQ(port.manager.WriteToPort(job.substr(0, 5)), rc::Ok)
        << port.manager.LastErrorDescription();
    EXPECT_EQ(port.manager.WriteToPort(job.substr(5)), rc::Ok);
    EXPECT_EQ(port.manager.ClosePort(), rc::Ok) << port.manager.LastErrorDescription();
  }
  EXPECT_EQ(cupsd_->WaitForOutput(first.size() + second.size()), first + second);
}

TEST_F(PrintQueueCupsTest, MissingClosedAndUnreachableQueuesAreNotAvailable) {
  QueuePort missing("NoSuchQueue@" + cupsd_->Server());
  EXPECT_EQ(missing.manager.OpenPort(), rc::Unknown);
  EXPECT_EQ(missing.manager.LastErrorDescription(), "Очередь печати недоступна: NoSuchQueue@" +
                                                        cupsd_->Server() +
                                                        ": Сервер печати не знает такой очереди");
  QueuePort closed("Closed@" + cupsd_->Server());
  EXPECT_EQ(closed.manager.OpenPort(), rc::Unknown);
  EXPECT_EQ(closed.manager.LastErrorDescription(),
            "Очередь печати не принимает задания: Closed@" + cupsd_->Server());
  const std::string nobody =
      "Labels@127.0.0.1:" + std::to_string(testing::FakeNetworkPrinter::ClosedPort());
  QueuePort unreachable(nobody);
  EXPECT_EQ(unreachable.manager.OpenPort(), rc::Unknown);
  // The system's reason why the server does not answer, not that the queue is unknown.
  const std::string detail = unreachable.manager.LastErrorDescription();
  const std::string expected = "Очередь печати недоступна: " + nobody + ": ";
  EXPECT_EQ(detail.substr(0, expected.size()), expected);
  EXPECT_GT(detail.size(), expected.size());
  EXPECT_EQ(detail.find("такой очереди"), std::string::npos) << detail;
}

// The print server this machine prints to comes from the environment, as for every CUPS client.
TEST_F(PrintQueueCupsTest, DiscoveryListsTheServersQueues) {
  setenv("CUPS_SERVER", cupsd_->Server().c_str(), 1);
  cupsSetServer(nullptr);
  const std::vector<platform::PrintQueueRecord> queues =
      platform::SystemPortDiscovery().ListPrintQueues();
  unsetenv("CUPS_SERVER");
  cupsSetServer(nullptr);
  ASSERT_EQ(queues.size(), 2u);
  EXPECT_EQ(queues[0].name, "Closed");
  EXPECT_EQ(queues[0].description, "Closed queue");
  EXPECT_EQ(queues[1].name, "Labels");
  EXPECT_EQ(queues[1].description, "Etiketki na sklade");
  EXPECT_FALSE(queues[1].is_default);
}

Variant Labels() {
  VariantArray rows = VariantArray::Table(2, 2);
  rows.At({0, 0}) = Variant("Молоко 3,2%");
  rows.At({1, 0}) = Variant(2);
  rows.At({0, 1}) = Variant("Tea");
  rows.At({1, 1}) = Variant(1);
  return Variant(VariantArray::Vector(
      {Variant(VariantArray::Table(2, 0)),
       Variant(VariantArray::Vector({Variant("Name"), Variant("CopiesNumber")})),
       Variant(std::move(rows))}));
}

// What the command-line host does for "pirell settings PortType=T PortName=N" followed by
// "pirell test" and "pirell print": the job of one template and two rows through the port.
void PrintThrough(const std::string& device, std::int32_t type, const std::string& name) {
  cli::HostSession session(device, false);
  ASSERT_TRUE(
      session.ChangeSettings({{"PortType", Variant::Integer(type)}, {"PortName", Variant(name)}})
          .ok);
  // The health check and enabling open the port and close it again without writing.
  const cli::CallResult health = session.Call("CheckHealth", Variant());
  ASSERT_TRUE(health.ok) << type << ": " << health.message;
  const cli::CallResult enable = session.Call("Enable", Variant());
  ASSERT_TRUE(enable.ok) << type << ": " << enable.message;
  const cli::CallResult print =
      session.Call("PrintLabels", Variant(VariantArray::Vector({Variant(1), Labels()})));
  ASSERT_TRUE(print.ok) << type << ": " << print.message;
  session.Call("Disable", Variant());
}

TEST_F(PrintQueueCupsTest, TheSameJobReachesThePrinterAsTheSameBytesThroughEveryPortType) {
  testing::TempDir folder;
  const std::string device = folder.File("LabelPrinter1");
  {
    cli::HostSession session(device, false);
    const std::string label =
        "<Label Width=\"58\" Height=\"40\"><Item ClassName=\"TextSimple\">"
        "<Property Name=\"DS\" Value=\"Name\"/><Property Name=\"MaxSymbols\" Value=\"20\"/>"
        "<Property Name=\"FontSize\" Value=\"2\"/></Item><Item ClassName=\"Rectangle\">"
        "<Property Name=\"Left\" Value=\"2\"/><Property Name=\"Top\" Value=\"2\"/>"
        "<Property Name=\"Width\" Value=\"50\"/><Property Name=\"Height\" Value=\"30\"/>"
        "</Item></Label>";
    ASSERT_TRUE(session
                    .Call("UploadTemplate",
                          Variant(VariantArray::Vector({Variant(1), Variant("t"), Variant(label)})))
                    .ok);
  }
  testing::PseudoTerminal usb, parallel, serial;
  testing::FakeNetworkPrinter network;
  ASSERT_NE(network.port(), 0);
  const std::string file = folder.File("job.prn");

  PrintThrough(device, 4, file);
  const std::string job = Content(file);
  ASSERT_GT(job.size(), 40u);
  PrintThrough(device, 0, usb.device());
  PrintThrough(device, 1, parallel.device());
  PrintThrough(device, 2, serial.device() + ":9600,N,8,1,N");
  PrintThrough(device, 3, network.Address());
  PrintThrough(device, 5, "Labels@" + cupsd_->Server());
  EXPECT_EQ(usb.Received(1000), job);
  EXPECT_EQ(parallel.Received(1000), job);
  EXPECT_EQ(serial.Received(1000), job);
  // The health check and enabling connected without a job, printing with it.
  EXPECT_EQ(network.Jobs(3), (std::vector<std::string>{"", "", job}));
  EXPECT_EQ(cupsd_->WaitForOutput(job.size()), job);
}

}  // namespace
}  // namespace pirell
