// The update server: descriptor, program and companion downloads, and the faults
// the update tests need.
#include <gtest/gtest.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "sim/update_files.h"
#include "tests/support/regsim_test_util.h"
#include "tests/support/temp_folder.h"
#include "tests/unit/sim/raw_socket.h"

namespace qm::test {
namespace {

std::string get(const sim::RegSim& sim, const std::string& name, int status = 200) {
  const HttpReply reply = httpExchange(sim.port(), getRequest(sim, sim::RegSim::kUpdatePrefix + name));
  EXPECT_EQ(reply.status, status) << name;
  return reply.body;
}

std::string fromGb18030(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  std::string out(bytes.size() * 3 + 8, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size(), outLeft = out.size();
  char* to = out.data();
  const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return ok ? out : std::string("<not GB18030>");
}

// Lines split at CR LF; a bare LF would stay inside a line.
std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (auto p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", start = p + 2)) {
    lines.push_back(text.substr(start, p - start));
    start = p + 2;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Section of each key ("section/key" -> value).
std::map<std::string, std::string> iniValues(const std::string& text) {
  std::map<std::string, std::string> values;
  std::string section;
  for (const auto& line : crlfLines(text)) {
    if (!line.empty() && line.front() == '[') section = line.substr(1, line.find(']') - 1);
    else if (line.find('=') != std::string::npos) values[section + "/" + line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return values;
}

// SHA-256 by coreutils, independent of the server's own hashing.
std::string sha256sum(const std::string& bytes) {
  TempFolder dir("regsim_sha");
  const std::string path = dir.write("data", bytes);
  FILE* p = popen(("sha256sum '" + path + "'").c_str(), "r");
  char line[128] = {};
  const bool read = p && std::fgets(line, sizeof line, p);
  if (p) pclose(p);
  return read ? std::string(line, 64) : std::string();
}

std::vector<int> versionNumbers(const std::string& v) {
  std::vector<int> n;
  std::stringstream s(v);
  for (std::string part; std::getline(s, part, '.');) n.push_back(std::stoi(part));
  return n;
}

// Verified by the openssl command against the fixture key, independent of the server's own signing.
bool opensslVerifies(const std::string& message, const std::string& signatureBase64) {
  TempFolder dir("regsim_openssl");
  const std::string data = dir.write("data", message);
  const std::string sig64 = dir.write("sig64", signatureBase64);
  const std::string key = std::string(QM_UPDATE_FIXTURES) + "/test_update_key.pem";
  const std::string command = "base64 -d '" + sig64 + "' > '" + dir.path.string() + "/sig' && openssl pkey -in '" + key +
                              "' -pubout -out '" + dir.path.string() + "/pub.pem' && openssl pkeyutl -verify -pubin -inkey '" +
                              dir.path.string() + "/pub.pem' -rawin -in '" + data + "' -sigfile '" + dir.path.string() +
                              "/sig' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(RegSimUpdate, DescriptorAnnouncesTheBuiltVersionAndEveryHashSigned) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  EXPECT_EQ(s.sim.updateBaseUrl(), "http://" + s.sim.host() + "/update/");
  const std::string raw = get(s.sim, "quillmereup.txt");
  EXPECT_EQ(get(s.sim, "quillmereup.ini"), raw);
  EXPECT_EQ(raw, s.sim.updateDescriptorBytes());
  const std::string text = fromGb18030(raw);
  const auto lines = crlfLines(text);
  ASSERT_EQ(lines.size(), 9u) << text;
  EXPECT_EQ(lines[0], "[file]");
  EXPECT_EQ(lines[1], "filename=quillmere");
  EXPECT_EQ(lines[3].rfind("sjxx=新增", 0), 0u) << lines[3];
  EXPECT_NE(raw.find("sjxx=\xd0\xc2\xd4\xf6"), std::string::npos) << "the notes are GBK bytes";
  // By default no update: the demo must not ask at every start.
  EXPECT_EQ(sim::builtProgramVersion().rfind(QM_TEST_PROJECT_VERSION, 0), 0u) << sim::builtProgramVersion();
  EXPECT_EQ(s.sim.announcedVersion(), sim::builtProgramVersion());
  EXPECT_EQ(lines[2], "ver=" + sim::builtProgramVersion());

  const std::string program = get(s.sim, "quillmere.jpg");
  EXPECT_EQ(program, s.sim.updateProgram());
  EXPECT_EQ(lines[4], "sha256=" + sha256sum(program));
  EXPECT_EQ(program.rfind("#!/bin/sh\n", 0), 0u);
  EXPECT_GE(program.size(), 256u * 1024 - 1);
  EXPECT_EQ(get(s.sim, "quillmere.exe"), program);
  EXPECT_EQ(get(s.sim, "quillmere"), program);

  EXPECT_EQ(lines[5], "[companions]");
  EXPECT_EQ(lines[6], "pellow=" + sha256sum(get(s.sim, "pellow.jpg")));
  EXPECT_EQ(lines[7], "drumsel=" + sha256sum(get(s.sim, "drumsel.jpg")));
  EXPECT_EQ(lines[8], "quorrit=" + sha256sum(get(s.sim, "quorrit.jpg")));

  const std::string signature = get(s.sim, "quillmereup.sig");
  EXPECT_EQ(signature, s.sim.updateSignature() + "\n");
  EXPECT_EQ(signature.size(), 89u) << "88 Base64 characters and a line end";
  EXPECT_TRUE(opensslVerifies(raw, signature));
  EXPECT_FALSE(opensslVerifies(raw + "x", signature));
}

TEST(RegSimUpdate, SignatureOptions) {
  {
    StartedRegSim s({.updateUnsigned = true});
    ASSERT_TRUE(s.started);
    get(s.sim, "quillmereup.sig", 404);
  }
  {
    StartedRegSim s({.updateTamperDescriptor = true});
    ASSERT_TRUE(s.started);
    const std::string raw = get(s.sim, "quillmereup.txt");
    EXPECT_EQ(iniValues(fromGb18030(raw)).at("file/ver"), "99");
    EXPECT_FALSE(opensslVerifies(raw, get(s.sim, "quillmereup.sig")));
  }
  {
    StartedRegSim s({.updateCompanionWrongHash = true});
    ASSERT_TRUE(s.started);
    const std::string raw = get(s.sim, "quillmereup.txt");
    EXPECT_TRUE(opensslVerifies(raw, get(s.sim, "quillmereup.sig")));
    const auto values = iniValues(fromGb18030(raw));
    EXPECT_NE(values.at("companions/pellow"), sha256sum(get(s.sim, "pellow.jpg")));
  }
}

TEST(RegSimUpdate, OptionsChangeTheVersionSectionAndHash) {
  const struct {
    sim::RegSimOptions options;
    const char* section;
    std::string version;
    bool hashMatches;
  } cases[] = {
      {{.updateSameVersion = true}, "file", sim::builtProgramVersion(), true},
      {{.updateVersion = "3"}, "file", "3", true},
      {{.updateNoSection = true}, "readme", sim::builtProgramVersion(), true},
      {{.updateWrongHash = true}, "file", sim::builtProgramVersion(), false},
  };
  for (const auto& c : cases) {
    StartedRegSim s(c.options);
    ASSERT_TRUE(s.started);
    const std::string raw = get(s.sim, "quillmereup.txt");
    const auto values = iniValues(fromGb18030(raw));
    const std::string section = c.section;
    EXPECT_EQ(values.count("file/ver"), section == "file" ? 1u : 0u);
    EXPECT_EQ(values.at(section + "/ver"), c.version);
    EXPECT_EQ(values.at(section + "/filename"), "quillmere");
    const std::string hash = values.at(section + "/sha256");
    EXPECT_TRUE(std::regex_match(hash, std::regex("[0-9a-f]{64}"))) << hash;
    EXPECT_EQ(hash == sha256sum(get(s.sim, "quillmere.jpg")), c.hashMatches) << c.version;
    EXPECT_TRUE(opensslVerifies(raw, get(s.sim, "quillmereup.sig"))) << "spoiled, but signed by the publisher";
  }
}

// The raw bytes of the download faults, read off the socket.
TEST(RegSimUpdate, DownloadFaults) {
  const std::string program = sim::standInProgram(sim::builtProgramVersion());
  const std::string half = program.substr(0, program.size() / 2);
  {
    StartedRegSim s({.updateFault = "close-early"});
    ASSERT_TRUE(s.started);
    ClientSocket client(s.sim.port());
    ASSERT_TRUE(client.send(getRequest(s.sim, "/update/quillmere.jpg")));
    std::string bytes;
    ASSERT_TRUE(client.receiveAll(bytes));
    const auto headEnd = bytes.find("\r\n\r\n");
    ASSERT_NE(headEnd, std::string::npos);
    EXPECT_EQ(bytes.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    EXPECT_EQ(bytes.find("Content-Length"), std::string::npos);
    EXPECT_EQ(bytes.find("Transfer-Encoding"), std::string::npos);
    EXPECT_TRUE(bytes.substr(headEnd + 4) == half);
  }
  {
    StartedRegSim s({.updateFault = "early-hints"});
    ASSERT_TRUE(s.started);
    ClientSocket client(s.sim.port());
    ASSERT_TRUE(client.send(getRequest(s.sim, "/update/pellow.jpg")));
    std::string bytes;
    ASSERT_TRUE(client.receiveAll(bytes));
    EXPECT_EQ(bytes.rfind("HTTP/1.1 103 Early Hints\r\n", 0), 0u);
    const auto second = bytes.find("\r\n\r\nHTTP/1.1 200 OK\r\n");
    ASSERT_NE(second, std::string::npos);
    EXPECT_TRUE(bytes.substr(bytes.size() - s.sim.companionFile("pellow").size()) == s.sim.companionFile("pellow"));
    // The descriptor is not a download: it comes plain.
    EXPECT_EQ(get(s.sim, "quillmereup.txt"), s.sim.updateDescriptorBytes());
  }
  {
    StartedRegSim s({.updateFault = "stall"});
    ASSERT_TRUE(s.started);
    ClientSocket client(s.sim.port());
    ASSERT_TRUE(client.send(getRequest(s.sim, "/update/quillmere.jpg")));
    std::string bytes;
    // The head and half the body come; then nothing, while the connection stays open.
    const std::string head = "Content-Length: " + std::to_string(program.size()) + "\r\n";
    while (bytes.find("\r\n\r\n") == std::string::npos) ASSERT_TRUE(client.receive(bytes, bytes.size() + 1));
    const auto headEnd = bytes.find("\r\n\r\n");
    ASSERT_TRUE(client.receive(bytes, headEnd + 4 + half.size()));
    EXPECT_NE(bytes.find(head), std::string::npos);
    EXPECT_EQ(bytes.size(), headEnd + 4 + half.size());
    EXPECT_FALSE(client.stirsWithin(500));
  }
}

TEST(RegSimUpdate, CompanionsAreServedUnderTheirDownloadAndLinuxNames) {
  StartedRegSim s;
  ASSERT_TRUE(s.started);
  std::set<std::string> distinct;
  for (const std::string stem : {"pellow", "drumsel", "quorrit"}) {
    const std::string file = get(s.sim, stem + ".jpg");
    EXPECT_EQ(file, s.sim.companionFile(stem));
    EXPECT_EQ(file.rfind("#!/bin/sh\n", 0), 0u);
    EXPECT_EQ(get(s.sim, stem + ".exe"), file) << stem;
    EXPECT_EQ(get(s.sim, stem), file) << stem;
    distinct.insert(file);
  }
  EXPECT_EQ(distinct.size(), 3u);
  for (const char* missing : {"drumsap.jpg", "drumsap.exe", "other.jpg", "", "quillmereup"}) get(s.sim, missing, 404);
}

TEST(RegSimUpdate, DroppedDownloadClosesHalfwayThroughTheBody) {
  StartedRegSim s({.updateDropDownload = true});
  ASSERT_TRUE(s.started);
  for (const std::string name : {"quillmere.jpg", "pellow.jpg", "quorrit"}) {
    ClientSocket client(s.sim.port());
    ASSERT_TRUE(client.send(getRequest(s.sim, sim::RegSim::kUpdatePrefix + name)));
    std::string bytes;
    ASSERT_TRUE(client.receiveAll(bytes)) << name << ": the server closes the connection";
    const auto headEnd = bytes.find("\r\n\r\n");
    ASSERT_NE(headEnd, std::string::npos) << name;
    HttpReply reply;
    reply.head = bytes.substr(0, headEnd + 2);
    EXPECT_EQ(reply.head.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << name;
    const std::string whole = name == "quillmere.jpg" ? s.sim.updateProgram()
                                                      : s.sim.companionFile(name.substr(0, name.find('.')));
    EXPECT_EQ(reply.header("Content-Length"), std::to_string(whole.size())) << name;
    EXPECT_EQ(bytes.substr(headEnd + 4), whole.substr(0, whole.size() / 2)) << name << ": half the body, then the close";
  }
  // The descriptor itself still arrives whole.
  EXPECT_FALSE(fromGb18030(get(s.sim, "quillmereup.txt")).empty());
}

TEST(RegSimUpdate, ProgramFileOptionServesThatFileAndItsHash) {
  TempFolder dir("regsim_program");
  const std::string bytes = std::string("\x7f" "ELF fake program\0\x01\x02", 21);
  StartedRegSim s({.updateProgramFile = dir.write("program", bytes)});
  ASSERT_TRUE(s.started);
  EXPECT_EQ(get(s.sim, "quillmere.jpg"), bytes);
  const auto values = iniValues(fromGb18030(get(s.sim, "quillmereup.txt")));
  EXPECT_EQ(values.at("file/sha256"), sha256sum(bytes));
}

TEST(RegSimUpdate, StandInsLeaveTheirMarkWhenRun) {
  StartedRegSim s({.updateVersion = "2.4"});
  ASSERT_TRUE(s.started);
  TempFolder dir("regsim_programs");
  const struct {
    std::string name, bytes, mark;
  } programs[] = {{"quillmere", get(s.sim, "quillmere.jpg"), "2.4\n"}, {"drumsel", get(s.sim, "drumsel"), "drumsel\n"}};
  for (const auto& p : programs) {
    const std::string path = dir.write(p.name, p.bytes);
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    EXPECT_EQ(std::system(("'" + path + "'").c_str()), 0) << p.name;
    EXPECT_EQ(dir.read(p.name + ".started"), p.mark) << p.name;
  }
}

}  // namespace
}  // namespace qm::test
