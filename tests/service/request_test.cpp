// What arrives from outside, read before it reaches a label or a printer: the job's JSON,
// label names, the bearer token and the service's settings.
#include <gtest/gtest.h>

#include "service/job_request.h"
#include "service/service_options.h"
#include "support/test_support.h"

namespace tavrin::service {
namespace {

TEST(JobRequest, ReadsAJobAndRefusesWhatIsMalformed) {
    JobRequest job;
    ASSERT_FALSE(parseJobRequest(R"({"label":"a/b.qlb","printer":"p","copies":2,"key":"k",
                                     "rows":[{"Name":"x","Weight":1.5,"Count":7}]})", {}, job));
    EXPECT_EQ(job.label, "a/b.qlb");
    EXPECT_EQ(job.copies, 2u);
    EXPECT_EQ(job.key, "k");
    ASSERT_EQ(job.rows.size(), 1u);
    EXPECT_EQ(job.rows[0], (ValueMapRows::Row{{"Name", "x"}, {"Weight", "1.5"}, {"Count", "7"}}));
    EXPECT_EQ(rowsFromJson(rowsToJson(job.rows)), job.rows);

    RequestLimits small;
    small.rows = 2;
    const struct {
        std::string body;
        int status;
        const char* says;
    } refused[] = {
        {"", 400, "not JSON"}, {"{\"label\": ", 400, "not JSON"}, {"[]", 400, "a JSON object"},
        {R"({"label":"a.qlb","printer":"p"})", 400, "No \"rows\""},
        {R"({"label":"a.qlb","printer":"p","rows":[]})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":{"a":"b"}})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":{"b":"c"}}]})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":null}]})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a\u0001":"b"}]})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"}],"copies":1000})", 400, "\"copies\""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"}],"copies":0})", 400, "\"copies\""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"}],"copies":"2"})", 400, "\"copies\""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"}],"priority":1})", 400, "Unknown field \"priority\""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"}],"Key":"k"})", 400, "Unknown field \"Key\""},
        {R"({"label":5,"printer":"p","rows":[{"a":"b"}]})", 400, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[{"a":"b"},{"a":"c"},{"a":"d"}]})", 413, ""},
        {R"({"label":"a.qlb","printer":"p","rows":[[[[[[[[[["deep"]]]]]]]]]]})", 400, ""},
        {std::string(40, '[') + std::string(40, ']'), 400, "nests deeper"},
        {R"({"label":"../a.qlb","printer":"p","rows":[{"a":"b"}]})", 400, "leads out"},
        {R"({"label":"/srv/a.qlb","printer":"p","rows":[{"a":"b"}]})", 400, "absolute"},
    };
    for (const auto& r : refused) {
        const auto refusal = parseJobRequest(r.body, small, job);
        ASSERT_TRUE(refusal) << r.body;
        EXPECT_EQ(refusal->status, r.status) << r.body << ": " << refusal->message;
        EXPECT_NE(refusal->message.find(r.says), std::string::npos) << r.body << ": " << refusal->message;
    }
    // Brackets inside strings do not count as nesting.
    EXPECT_TRUE(nestingWithin(R"({"a":"[[[[[[[[[[\"[["})", 2));
    EXPECT_FALSE(nestingWithin("[[[", 2));
}

TEST(JobRequest, LabelNamesStayInsideTheLabelsFolder) {
    for (const char* bad : {"", "/etc/passwd.qlb", "../x.qlb", "a/../../x.qlb", "a//b.qlb", "./a.qlb", "a\\..\\b.qlb",
                            "a.txt", ".qlb", "a\n.qlb"})
        EXPECT_FALSE(labelNameProblem(bad).empty()) << bad;
    for (const char* good : {"a.qlb", "shop/shipping.QLB", "..a.qlb"}) EXPECT_EQ(labelNameProblem(good), "") << good;

    test::TempDir dir;
    std::filesystem::create_directories(dir / "labels" / "sub");
    test::writeFile(dir / "labels" / "sub" / "in.qlb", "x");
    test::writeFile(dir / "secret.qlb", "x");
    std::filesystem::create_symlink(dir / "secret.qlb", dir / "labels" / "out.qlb");
    std::filesystem::create_symlink(dir / "labels" / "sub" / "in.qlb", dir / "labels" / "alias.qlb");
    std::filesystem::create_symlink(dir.path(), dir / "labels" / "up");
    EXPECT_TRUE(labelInFolder(dir / "labels", "sub/in.qlb"));
    EXPECT_TRUE(labelInFolder(dir / "labels", "alias.qlb"));  // a link within the folder is fine
    for (const char* outside : {"out.qlb", "up/secret.qlb", "missing.qlb", "sub"})
        EXPECT_FALSE(labelInFolder(dir / "labels", outside)) << outside;
}

TEST(JobRequest, TheBearerTokenMustMatchWhole) {
    EXPECT_TRUE(bearerMatches("Bearer abc123", "abc123"));
    EXPECT_TRUE(bearerMatches("bearer abc123", "abc123"));
    for (const char* wrong : {"", "Bearer ", "Bearer abc12", "Bearer abc1234", "Bearer abc124", "Basic abc123", "abc123"})
        EXPECT_FALSE(bearerMatches(wrong, "abc123")) << wrong;
    EXPECT_FALSE(bearerMatches("Bearer ", ""));
}

TEST(ServiceOptions, TheCommandLineAddsToTheFileAndWins) {
    test::TempDir dir;
    test::writeFile(dir / "serve.conf", "# the dock\nlabels = /srv/labels\nprinter = dock1=tcp://10.0.0.7:9100\n"
                                        "listen = 0.0.0.0:9000\n");
    ServiceOptions options;
    ASSERT_EQ(parseServiceArguments({"--printer", "dock2=/dev/ttyS0", "--config", (dir / "serve.conf").string(),
                                     "--listen=[::1]:8000"},
                                    options),
              "");
    EXPECT_EQ(options.labels, "/srv/labels");
    ASSERT_EQ(options.printers.size(), 2u);
    EXPECT_EQ(options.printers[0], (std::pair<std::string, std::string>{"dock1", "tcp://10.0.0.7:9100"}));
    EXPECT_EQ(options.host, "::1");
    EXPECT_EQ(options.port, 8000);

    test::writeFile(dir / "bad.conf", "labels = x\nspeed = 3\n");
    EXPECT_NE(parseServiceArguments({"--config", (dir / "bad.conf").string()}, options).find("bad.conf:2:"), std::string::npos);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--printer", "noequals"}, {"--listen", "host:99999"}, {"--labels"}, {"stray"}, {"--silence-ms", "0"}})
        EXPECT_NE(parseServiceArguments(bad, options), "") << bad[0];
    options = {};
    options.labels = dir.path();
    options.printers = {{"a b", "/dev/null"}};
    EXPECT_NE(checkServiceOptions(options).find("must be letters"), std::string::npos);
    options.printers = {{"a", "/dev/null"}, {"a", "/dev/zero"}};
    EXPECT_NE(checkServiceOptions(options).find("twice"), std::string::npos);
}

}  // namespace
}  // namespace tavrin::service
