#include <gtest/gtest.h>

#include "app/update/update_script.h"

using namespace qm;

TEST(UpdateScript, SplitsTheProgramPath) {
  UpdateScriptInputs w = scriptInputsFor("C:\\Program Files\\Quillmere\\quillmere.exe", "quillmere2", 7);
  EXPECT_EQ(w.folder, "C:\\Program Files\\Quillmere\\");
  EXPECT_EQ(w.programName, "quillmere.exe");
  EXPECT_EQ(w.programPath, "C:\\Program Files\\Quillmere\\quillmere.exe");
  EXPECT_EQ(w.stem, "quillmere2");
  EXPECT_EQ(w.pid, 7);
  UpdateScriptInputs l = scriptInputsFor("/home/a/opt/quillmere", "q", 1);
  EXPECT_EQ(l.folder, "/home/a/opt/");
  EXPECT_EQ(l.programName, "quillmere");
}

TEST(UpdateScript, BatchFileBytes) {
  const std::string expected =
      "@echo off\r\n"
      ":deleteself\r\n"
      "del \"C:\\Program Files\\Quillmere\\quillmere.exe\"\r\n"
      "if exist \"C:\\Program Files\\Quillmere\\quillmere.exe\" goto deleteself\r\n"
      "rename \"C:\\Program Files\\Quillmere\\quillmere2.bak\" quillmere.exe\r\n"
      "start quillmere.exe\r\n"
      "msg * /time:10 Quillmere\xC9\xFD\xBC\xB6\xB3\xC9\xB9\xA6\xA3\xA1\r\n"
      "del \"C:\\Program Files\\Quillmere\\quillmereup.ini\"\r\n"
      "del \"C:\\Program Files\\Quillmere\\SJ.bat\"\r\n"
      "end\r\n";
  EXPECT_EQ(batchUpdateScript(scriptInputsFor("C:\\Program Files\\Quillmere\\quillmere.exe", "quillmere2", 99)),
            expected);
}

TEST(UpdateScript, BatchFileInAChineseFolderIsGbk) {
  const std::string d = "D:\\\xD1\xA7\xBC\xAE\\";  // D:\学籍\ in GBK
  const std::string expected =
      "@echo off\r\n"
      ":deleteself\r\n"
      "del \"" + d + "qm.exe\"\r\n"
      "if exist \"" + d + "qm.exe\" goto deleteself\r\n"
      "rename \"" + d + "new.bak\" qm.exe\r\n"
      "start qm.exe\r\n"
      "msg * /time:10 Quillmere\xC9\xFD\xBC\xB6\xB3\xC9\xB9\xA6\xA3\xA1\r\n"
      "del \"" + d + "quillmereup.ini\"\r\n"
      "del \"" + d + "SJ.bat\"\r\n"
      "end\r\n";
  EXPECT_EQ(batchUpdateScript(scriptInputsFor("D:\\学籍\\qm.exe", "new", 1)), expected);
}

TEST(UpdateScript, ShellQuoting) {
  EXPECT_EQ(shellQuote("plain"), "'plain'");
  EXPECT_EQ(shellQuote("it's"), "'it'\\''s'");
  EXPECT_EQ(shellQuote("$(rm -rf ~) `x` \"y\""), "'$(rm -rf ~) `x` \"y\"'");
}

TEST(UpdateScript, ThisPlatformsScript) {
  UpdateScriptInputs in = scriptInputsFor("/opt/q/quillmere", "quillmere2", 5);
  UpdateScript s = updateScriptForThisPlatform(in);
#ifdef _WIN32
  EXPECT_EQ(s.fileName, "SJ.bat");
#else
  EXPECT_EQ(s.fileName, "SJ.sh");
  EXPECT_EQ(s.command.program, "/bin/sh");
  EXPECT_EQ(s.command.arguments, std::vector<std::string>{"/opt/q/SJ.sh"});
#endif
}
