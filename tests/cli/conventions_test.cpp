// tavrin-label as a new user types it, the same for every command: --help and --version,
// exit 0/1/2, "--opt=value", "-" for standard input and output, and failures that name the
// file or device and the system's reason.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "document/label_file.h"
#include "support/test_support.h"

namespace tavrin {
namespace {

using test::kSample;
const std::string kNoFile = ": No such file or directory";
constexpr const char* kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kJpeg = (test::kFixtures / "jpeg_baseline.jpg").string();
const std::string kLogo = (test::kFixtures / "logo.bmp").string();

// The command names `tavrin-label help` lists, so that commands added later are covered.
std::vector<std::string> listedCommands() {
    const auto r = test::runLabel({"help"});
    std::vector<std::string> names;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        const std::string prefix = "  tavrin-label ";
        if (line.rfind(prefix, 0) != 0) continue;
        const std::string name = line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size());
        if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') names.push_back(name);
    }
    return names;
}

TEST(CommandLineConventions, EveryCommandAnswersHelpWithItsUsageAndOptions) {
    const auto names = listedCommands();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        for (const char* flag : {"-h", "--help"}) {
            const auto r = test::runLabel({name, flag});
            EXPECT_EQ(r.exitCode, 0) << name << " " << flag << ": " << r.err;
            EXPECT_EQ(r.out.rfind("usage: tavrin-label " + name, 0), 0u) << name << " " << flag << ": " << r.out;
        }
    }
    // Sub-commands of printer too, without a printer (or even a --port) being asked for.
    const auto r = test::runLabel({"printer", "print-label", "--help"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("print-label FILE.qlb"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("--copies N"), std::string::npos) << r.out;
}

TEST(CommandLineConventions, VersionAndUnknownCommands) {
    for (const char* flag : {"--version", "-V"}) {
        const auto r = test::runLabel({flag});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out.rfind("tavrin-label (TAVRIN Label Editor) 1.", 0), 0u) << r.out;
    }
    const auto r = test::runLabel({"--verison"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown command \"--verison\""), std::string::npos) << r.err;
}

// Every command with a missing file, an unknown option, "--opt=value" and "-": the exit
// status and the words its message must hold.
TEST(CommandLineConventions, EveryCommandKeepsTheConventions) {
    test::TempDir dir;
    const auto path = [&](const char* name) { return (dir / name).string(); };
    const std::string missing = path("missing.qlb"), out = path("out"), rows = path("rows.csv");
    test::writeFile(dir / "rows.csv", "Name\nAnna\n");
    LabelDocument plain;  // no barcodes, so check has nothing to fail on
    plain.figures.appendFigure(BoxRecord{0, 0, 10, 6, 1}.encode(), FigureKind::Box);
    ASSERT_TRUE(saveLabelFile(dir / "plain.qlb", plain));
    const std::string label = path("plain.qlb"), ejf = path("plain.ejf");
    ASSERT_EQ(test::runLabel({"export-form", label, "-o", ejf}).exitCode, 0);
    // What a refusal must not leave behind, whatever it was asked to write.
    const std::string refused = path("refused");
    test::writeFile(dir / "foreign.qlb", std::string_view("not a label at all"));
    test::writeFile(dir / "bad.qft", test::Bytes{2, 0, 8, 'A', 5});
    const std::string tty = path("ttyUSB9");
    const std::string noPort = "Can't open communication port " + tty + kNoFile;
    const std::string cantOpen = "Can't open input file: " + missing + kNoFile;

    const struct {
        std::vector<std::string> arguments;
        std::string input;  // standard input
        int exitCode;
        std::string words;  // in the message (standard error), or in standard output on success
    } cases[] = {
        {{"info", missing}, "", 1, cantOpen},
        {{"info", label, "--bogus"}, "", 2, "unknown option --bogus"},
        {{"info", ""}, "", 2, "empty file name"},
        {{"info", "-", "--output=" + out}, label, 0, ""},
        {{"render", missing, "-o", out + ".png"}, "", 1, cantOpen},
        {{"render", label, "-o", out + ".png", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"render", label, "-o", out + ".gif"}, "", 2, "must end in .png, .pbm, .ppm, .pdf or .svg"},
        {{"render", "-", "--output=-", "--grid-step=3"}, label, 2, "--grid-step wants a number from 4 to 40"},
        {{"render", "-", "--output=-", "--grid-step=8", "--print"}, label, 0, "PNG"},
        {{"render", path("foreign.qlb"), "-o", refused + ".png"}, "", 1, "Invalid label file"},
        {{"render", label, "-o", path("missing/refused.png")}, "", 1, "Can't write"},
        {{"render", label, "-o", refused + ".png", "--now", "2026-02-30T10:00:00"}, "", 2, "--now wants a time"},
        {{"check", missing}, "", 1, cantOpen},
        {{"check", label, "--data=" + path("missing.csv")}, "", 1,
         "Can't open data file " + path("missing.csv") + kNoFile},
        {{"check", "-", "--bogus"}, label, 2, "unknown option --bogus"},
        {{"check", "-"}, label, 0, ""},
        {{"export-form", missing, "-o", out}, "", 1, cantOpen},
        {{"export-form", "-", "--output=-"}, label, 0, "q"},
        {{"export-form", label}, "", 2, "no -o FILE.ejf|-"},
        {{"import-form", path("missing.ejf"), "-o", out}, "", 1, path("missing.ejf") + kNoFile},
        {{"import-form", "-", "--output=-", "--bogus"}, ejf, 2, "unknown option --bogus"},
        {{"import-form", "-", "--output=-"}, ejf, 0, "ZR5500 FILE"},
        {{"commands", missing, "--print"}, "", 1, cantOpen},
        {{"commands", "-", "--store=SHELF"}, label, 0, "FS\"SHELF\""},
        {{"commands", "-", "--print", "--copies=1000"}, label, 2, "--copies wants a number from 1 to 999"},
        {{"commands", label, "--print", "--copies", "0"}, "", 2, "--copies wants a number from 1 to 999"},
        {{"commands", label}, "", 2, "give either --print or --store NAME"},
        {{"commands", label, "--print", "--store", "X"}, "", 2, "give either --print or --store NAME"},
        {{"commands", label, "--store", ""}, "", 2, "--store needs a form name"},
        {{"print", missing, "--port", tty, "--data=" + rows, "--no-journal"}, "", 1, cantOpen},
        {{"print", label, "--port", tty, "--data", path("missing.csv"), "--no-journal"}, "", 1,
         "Can't open data file " + path("missing.csv") + kNoFile},
        {{"print", "-", "--port=" + tty, "--data=" + rows, "--no-journal", "--print-anyway"}, label, 1, noPort},
        {{"print", label, "--port", tty, "--data", rows, "--bogus"}, "", 2, "unknown option --bogus"},
        {{"journal", "--run=5", "--journal=" + path("missing.sqlite")}, "", 1, "there is no print journal"},
        {{"journal", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"serve", "--printer=a=" + tty}, "", 2, "no --labels folder"},
        {{"serve", "--labels", path("missing"), "--printer", "a=" + tty}, "", 1, "is not a folder"},
        {{"serve", "--labels=" + dir.path().string(), "--printer=a=" + tty, "--listen=nowhere"}, "", 2,
         "--listen wants HOST:PORT"},
        {{"serve", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"printer", "--port=" + tty, "list", "forms"}, "", 1, noPort},
        {{"printer", "--port", "/dev/null", "memory"}, "", 1, "Can't open communication port /dev/null: not a serial port"},
        {{"printer", "--port", tty, "list", "pictures"}, "", 2, "list wants forms, graphics or fonts"},
        {{"printer", "--port", tty, "print-label", label, "--bogus"}, "", 2, "unknown option --bogus"},
        {{"printer", "--port", tty, "print-label", "-", "--copies=2"}, label, 1, noPort},
        {{"printer", "list", "forms"}, "", 2, "no --port DEVICE"},
        {{"list-fonts", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"make-font", "--font=" + path("missing.ttf"), "--size=12", "-o", out}, "", 1,
         "Can't open font file: " + path("missing.ttf") + kNoFile},
        {{"make-font", "--font", "x", "--size", "12", "-o", out, "--bogus"}, "", 2, "unknown option --bogus"},
        {{"make-font", "--size", "20", "-o", refused}, "", 2, "no --font"},
        {{"make-font", "--font", "No Such Family Here", "--size", "20", "-o", refused}, "", 1, "No scalable font"},
        {{"make-font", "--font", kDejaVu, "--size", "20", "--space", "17", "-o", refused}, "", 2, "from -16 to 16"},
        {{"make-font", "--font", kDejaVu, "--size", "20", "--map", "20-40:32", "-o", refused}, "", 2, "--map"},
        {{"make-font", "--font", kDejaVu, "--size", "20", "--script", "Klingon", "-o", refused}, "", 2, "unknown script"},
        {{"add-font", label, path("bad.qft"), "--letter", "A", "-o", refused}, "", 1, "Invalid font file"},
        {{"add-font", label, path("bad.qft"), "--letter", "7", "-o", refused}, "", 2, "A..Z"},
        {{"add-font", missing, path("f.qft"), "--letter", "A", "-o", out}, "", 1, cantOpen},
        {{"add-font", "-", path("missing.qft"), "--letter=A", "-o", out}, label, 1,
         "Can't open input file: " + path("missing.qft") + kNoFile},
        {{"add-picture", label, path("missing.bmp"), "--at", "0,0", "-o", out}, "", 1,
         "Can't open input file: " + path("missing.bmp") + kNoFile},
        {{"add-picture", label, "-", "--at=3,4", "--output=-"}, kLogo, 0, "ZR5500 FILE"},
        {{"add-picture", label, "-", "--at", "3,4", "-o", out, "--bogus"}, "", 2, "unknown option --bogus"},
        {{"convert-picture", path("missing.bmp"), "-o", out + ".bmp"}, "", 1,
         "Can't open input file: " + path("missing.bmp") + kNoFile},
        {{"convert-picture", "-", "--output=-", "--width=20"}, kJpeg, 0, "BM"},
        {{"convert-picture", kJpeg, "-o", out + ".gif"}, "", 2, "writes .bmp, .png or .pbm files"},
        {{"convert-picture", kJpeg, "-o", out + ".bmp", "--bogus"}, "", 2, "unknown option --bogus"},
        {{"convert-picture", kJpeg}, "", 2, "no output file"},
        {{"convert-picture", kJpeg, "--print"}, "", 2, "--print needs --port"},
        {{"convert-picture", kJpeg, "-o", path("missing/refused.bmp")}, "", 1, "Can't open output file"},
        {{"convert-picture", kJpeg, "--print", "--port", tty}, "", 1, noPort},
    };
    std::set<std::string> covered;
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& a : c.arguments) shown += a + " ";
        SCOPED_TRACE(shown);
        covered.insert(c.arguments[0]);
        const auto r = test::runLabel(c.arguments, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE((c.exitCode == 0 ? r.out : r.err).find(c.words), std::string::npos) << r.err;
        if (c.exitCode == 2) {
            EXPECT_NE(r.err.find("usage: tavrin-label"), std::string::npos) << r.err;
        }
        if (c.exitCode != 0) {
            EXPECT_EQ(r.out, "") << "a failure writes nothing on standard output";
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("refused")) << entry.path();
    for (const std::string& name : listedCommands()) EXPECT_TRUE(covered.count(name)) << name << " has no cases";
    // info's -o wrote the same JSON that standard output gets, naming standard input.
    EXPECT_EQ(test::readText(out), test::runLabel({"info", "-"}, label).out);
}

TEST(CommandLineConventions, ImageOutputIsInTheFormatItsNameSays) {
    test::TempDir dir;
    const struct {
        std::vector<std::string> arguments;
        const char* name;
        std::string magic;
    } cases[] = {
        {{"convert-picture", kJpeg, "--width", "20"}, "c.png", "\x89PNG"},
        {{"convert-picture", kJpeg, "--width", "20"}, "c.BMP", "BM"},
        {{"convert-picture", kJpeg, "--width", "20"}, "c.pbm", "P4"},
        {{"render", kSample}, "r.svg", "<?xml"},
    };
    for (auto c : cases) {
        c.arguments.insert(c.arguments.end(), {"-o", (dir / c.name).string()});
        const auto r = test::runLabel(c.arguments);
        ASSERT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_EQ(test::readText(dir / c.name).substr(0, c.magic.size()), c.magic) << c.name;
    }
}

TEST(CommandLineConventions, DashGivesWhatTheNamedFilesGive) {
    test::TempDir dir;
    const auto path = [&](const char* name) { return (dir / name).string(); };
    const struct {
        std::vector<std::string> throughStreams;  // the work with "-" for the files ...
        std::string input;
        std::vector<std::string> throughFiles;    // ... and with named files
        const char* fileOut;
    } cases[] = {
        {{"render", "-", "--print", "-o", "-"}, kSample, {"render", kSample, "--print", "-o", path("b.png")}, "b.png"},
        {{"export-form", "-", "-o", "-"}, kSample, {"export-form", kSample, "-o", path("b.ejf")}, "b.ejf"},
        {{"commands", "-", "--print", "-o", "-"}, kSample, {"commands", kSample, "--print", "-o", path("b.cmd")}, "b.cmd"},
        {{"import-form", "-", "-o", "-"}, path("b.ejf"), {"import-form", path("b.ejf"), "-o", path("b.qlb")}, "b.qlb"},
        {{"convert-picture", "-", "-o", "-"}, kJpeg, {"convert-picture", kJpeg, "-o", path("b.bmp")}, "b.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.throughFiles[0]);
        ASSERT_EQ(test::runLabel(c.throughFiles).exitCode, 0);
        const auto streamed = test::runLabel(c.throughStreams, c.input);
        ASSERT_EQ(streamed.exitCode, 0) << streamed.err;
        EXPECT_FALSE(streamed.out.empty());
        EXPECT_EQ(streamed.out, test::readText(dir / c.fileOut));
    }
    // info names standard input as its file and is otherwise the same.
    std::string fromStdin = test::runLabel({"info", "-"}, kSample).out;
    const std::string dashField = "\"file\": \"-\"";
    ASSERT_NE(fromStdin.find(dashField), std::string::npos) << fromStdin;
    fromStdin.replace(fromStdin.find(dashField), dashField.size(), "\"file\": \"" + kSample + "\"");
    EXPECT_EQ(fromStdin, test::runLabel({"info", kSample}).out);
    // Nothing is left behind in the temporary folder for standard input or output.
    std::filesystem::create_directory(dir / "tmp");
    {
        const test::ScopedEnv tmp("TMPDIR", path("tmp").c_str());
        ASSERT_EQ(test::runLabel({"render", "-", "-o", "-"}, kSample).exitCode, 0);
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir / "tmp"));
    // Empty standard input is a damaged label like any other.
    const auto empty = test::runLabel({"info", "-"}, "");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("Invalid label file: standard input"), std::string::npos) << empty.err;
}

// The manual's and the help page's prose describe every command; their options are made
// from the program itself.
TEST(CommandLineConventions, EveryCommandIsDescribedInTheManualAndTheHelpPage) {
    const std::string manual = test::readText(TAVRIN_SOURCE_DIR "/packaging/man/tavrin-label.1.in");
    const std::string help = test::readText(TAVRIN_SOURCE_DIR "/data/help/command-line.html");
    const std::string commandsSection = manual.substr(manual.find(".SH COMMANDS"));
    for (const std::string& name : listedCommands()) {
        const bool described = commandsSection.find("\n.BI " + name + " ") != std::string::npos ||
                                commandsSection.find("\n.B " + name + "\n") != std::string::npos;
        EXPECT_TRUE(described) << name << " in the manual";
        EXPECT_NE(help.find("<code>" + name), std::string::npos) << name << " in the help page";
    }
}

}  // namespace
}  // namespace tavrin
