// The command line: which action the arguments ask for, the settings the
// options carry, and every mistake turned into a message for people.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLine Parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "rux");
  return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, ChoosesTheAction) {
  EXPECT_EQ(Parse({}).action, Action::kHelpText);
  EXPECT_EQ(Parse({"-h"}).action, Action::kUsage);
  EXPECT_EQ(Parse({"--help", "job.prm"}).action, Action::kUsage);  // help wins
  EXPECT_EQ(Parse({"-V"}).action, Action::kVersion);
  const CommandLine run = Parse({"job.prm"});
  EXPECT_EQ(run.action, Action::kRun);
  EXPECT_EQ(run.parameterFile, "job.prm");
  const CommandLine check = Parse({"--check", "a.prm", "b.prm"});
  EXPECT_EQ(check.action, Action::kCheck);
  EXPECT_EQ(check.checkFiles, (std::vector<std::string>{"a.prm", "b.prm"}));
  // The parameter file may start with "-" after "--"; "-" alone is standard input.
  EXPECT_EQ(Parse({"--", "-odd.prm"}).parameterFile, "-odd.prm");
  EXPECT_EQ(Parse({"-"}).parameterFile, "-");
}

TEST(CommandLine, OptionsStopAtTheParameterFile) {
  // What follows the parameter file is kept aside (and ignored with a warning),
  // options included.
  const CommandLine line = Parse({"-q", "job.prm", "-j", "4", "extra"});
  EXPECT_EQ(line.action, Action::kRun);
  EXPECT_TRUE(line.quiet);
  EXPECT_EQ(line.jobs, 0);
  EXPECT_EQ(line.ignored, (std::vector<std::string>{"-j", "4", "extra"}));
}

TEST(CommandLine, TakesEveryOptionsValue) {
  const CommandLine line =
      Parse({"-i", "-", "--output=out/", "-j", "3", "--block-size=1", "--explain", "7",
             "--param-encoding=UTF8", "--no-progress", "job.prm"});
  EXPECT_TRUE(line.inputGiven);
  EXPECT_EQ(line.input, "-");
  EXPECT_TRUE(line.outputGiven);
  EXPECT_EQ(line.output, "out/");
  EXPECT_EQ(line.jobs, 3);
  EXPECT_EQ(line.blockSize, 1u);
  EXPECT_EQ(line.explain, 7);
  EXPECT_TRUE(line.encodingGiven);
  EXPECT_EQ(line.encoding, ParamEncoding::kUtf8);
  EXPECT_EQ(line.progress, -1);
  EXPECT_EQ(Parse({"--progress", "job.prm"}).progress, 1);
  EXPECT_EQ(Parse({"-j256", "job.prm"}).jobs, 256);
}

TEST(CommandLine, MistakesAreUsageErrorsThatSayWhatIsWrong) {
  const struct {
    std::vector<const char*> arguments;
    const char* error;
  } cases[] = {
      {{"--frobnicate", "job.prm"}, "unknown option '--frobnicate'"},
      {{"-x", "job.prm"}, "unknown option '-x'"},
      {{"job.prm", "-i"}, ""},  // after the parameter file: not an option
      {{"-i"}, "option '-i' needs a value"},
      {{"--jobs"}, "option '--jobs' needs a value"},
      {{"-j", "0", "job.prm"}, "--jobs needs a number of threads from 1 to 256, not '0'"},
      {{"-j", "257", "job.prm"}, "--jobs needs a number of threads from 1 to 256, not '257'"},
      {{"-j", "2x", "job.prm"}, "--jobs needs a number of threads from 1 to 256, not '2x'"},
      {{"--block-size=0", "job.prm"}, "--block-size needs a number of bytes, not '0'"},
      {{"--explain=-1", "job.prm"}, "--explain needs a number of records, not '-1'"},
      {{"--explain=99999999999999999999", "job.prm"},
       "--explain needs a number of records, not '99999999999999999999'"},
      {{"--param-encoding=latin1", "job.prm"},
       "--param-encoding must be auto, cp932 or utf-8, not 'latin1'"},
      {{"--check"}, "--check needs at least one parameter file"},
      {{"--check", "--explain=1", "a.prm"}, "--check and --explain cannot be used together"},
      {{"-q"}, "a parameter file is needed"},
      {{"-i", "-", "-"}, "standard input cannot be both the parameter file and the input"},
  };
  for (const auto& c : cases) {
    const CommandLine line = Parse(c.arguments);
    if (*c.error == '\0') {
      EXPECT_NE(line.action, Action::kUsageError) << c.arguments.front();
      continue;
    }
    EXPECT_EQ(line.action, Action::kUsageError) << c.error;
    EXPECT_EQ(line.error, c.error);
  }
}

TEST(CommandLine, TheDataFormOptions) {
  const CommandLine both = Parse({"--encoding=UTF8", "--unmappable=replace", "--bom",
                                  "--newline=lf", "job.prm"});
  EXPECT_TRUE(both.utf8Input && both.utf8Output && both.replaceUnmappable && both.byteOrderMark &&
              both.lineFeedOnly);
  const CommandLine in = Parse({"--input-encoding=utf-8", "--output-encoding=Windows-31J", "job.prm"});
  EXPECT_TRUE(in.utf8Input);
  EXPECT_FALSE(in.utf8Output);
  const CommandLine out = Parse({"--encoding=utf-8", "--input-encoding=ms932", "job.prm"});
  EXPECT_FALSE(out.utf8Input);  // the later option wins
  EXPECT_TRUE(out.utf8Output);
  EXPECT_EQ(Parse({"--encoding=latin1", "job.prm"}).error,
            "--encoding must be cp932 or utf-8, not 'latin1'");
  EXPECT_EQ(Parse({"--unmappable=skip", "job.prm"}).error,
            "--unmappable must be error or replace, not 'skip'");
  EXPECT_EQ(Parse({"--newline=cr", "job.prm"}).error, "--newline must be crlf or lf, not 'cr'");
  EXPECT_EQ(Parse({"--bom", "job.prm"}).action, Action::kUsageError);  // no UTF-8 output
  EXPECT_EQ(Parse({"--newline=lf"}).error, "a parameter file is needed");
}

TEST(CommandLine, PreviewWithAParameterFileOrAnInputAlone) {
  const CommandLine job = Parse({"--preview", "job.prm"});
  EXPECT_EQ(job.action, Action::kPreview);
  EXPECT_EQ(job.preview, 5);
  EXPECT_EQ(job.parameterFile, "job.prm");
  const CommandLine some = Parse({"--preview=12", "-i", "data.txt", "-o", "-", "job.prm", "x"});
  EXPECT_EQ(some.action, Action::kPreview);
  EXPECT_EQ(some.preview, 12);
  EXPECT_EQ(some.input, "data.txt");
  EXPECT_EQ(some.ignored, (std::vector<std::string>{"x"}));
  // No parameter file: -i names the file to show under the ruler.
  const CommandLine alone = Parse({"-i", "-", "--preview"});
  EXPECT_EQ(alone.action, Action::kPreview);
  EXPECT_EQ(alone.parameterFile, "");
  EXPECT_EQ(alone.input, "-");
  // The number needs "=": a separate word is the parameter file.
  EXPECT_EQ(Parse({"--preview", "3"}).parameterFile, "3");
  EXPECT_EQ(Parse({"--help", "--preview", "job.prm"}).action, Action::kUsage);

  const struct {
    std::vector<const char*> arguments;
    const char* error;
  } mistakes[] = {
      {{"--preview"}, "--preview needs a parameter file or -i FILE"},
      {{"--preview=0", "job.prm"}, "--preview needs a number of records from 1, not '0'"},
      {{"--preview=", "job.prm"}, "--preview needs a number of records from 1, not ''"},
      {{"--preview", "--check", "job.prm"}, "--check and --preview cannot be used together"},
      {{"--preview", "--explain=2", "job.prm"}, "--explain and --preview cannot be used together"},
      {{"--preview", "-i", "-", "-"},
       "standard input cannot be both the parameter file and the input"},
  };
  for (const auto& c : mistakes) {
    const CommandLine line = Parse(c.arguments);
    EXPECT_EQ(line.action, Action::kUsageError) << c.error;
    EXPECT_EQ(line.error, c.error);
  }
}

TEST(CommandLine, ParsesAgainAfterAnEarlierParse) {
  // getopt keeps state between calls; each parse starts afresh.
  Parse({"-j", "2", "--", "a.prm"});
  const CommandLine line = Parse({"-q", "b.prm"});
  EXPECT_EQ(line.parameterFile, "b.prm");
  EXPECT_EQ(line.jobs, 0);
  EXPECT_TRUE(line.quiet);
}

TEST(CommandLine, EncodingNames) {
  ParamEncoding encoding = ParamEncoding::kAuto;
  for (const char* name : {"cp932", "SJIS", "Shift_JIS"}) {
    EXPECT_TRUE(ParseEncodingName(name, encoding)) << name;
    EXPECT_EQ(encoding, ParamEncoding::kCp932) << name;
  }
  EXPECT_TRUE(ParseEncodingName("Utf-8", encoding));
  EXPECT_EQ(encoding, ParamEncoding::kUtf8);
  EXPECT_TRUE(ParseEncodingName("AUTO", encoding));
  EXPECT_EQ(encoding, ParamEncoding::kAuto);
  EXPECT_FALSE(ParseEncodingName("utf-16", encoding));
  EXPECT_FALSE(ParseEncodingName("", encoding));
}

}  // namespace
