// The art sources: every grid is well formed, and the generator names the fault in a broken one.
#include <gtest/gtest.h>

#include <filesystem>

#include "resource_util.h"

using namespace restest;

namespace {

std::string Resgen(const std::string &args) { return ToolPath("korvan_resgen") + " " + args; }

// A folder with the project's palette and one art file of the given text.
struct ArtFolder : TempDir {
    explicit ArtFolder(const std::string &art) : TempDir("art") {
        std::filesystem::copy_file(SourcePath("tools/art/palette.txt"), *this / "palette.txt");
        WriteAll(*this / "bad.txt", art);
    }
};

std::string Check(const ArtFolder &dir) {
    Result r = RunTool(Resgen("--art " + dir.path.string() + " --check"));
    EXPECT_EQ(r.status, 1);
    return r.err;
}

}  // namespace

TEST(Art, TheProjectsArtIsWellFormed) {
    Result r = RunTool(Resgen("--art " + SourcePath("tools/art") + " --check"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST(Art, FaultsAreReportedWithFileAndLine) {
    std::string legend = "legend l\n. transparent\nX white\nend\n";
    {
        ArtFolder dir(legend + "picture p 3 2 l\n.X.\n.Y.\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":7: the character 'Y' of 'p' is not in the legend 'l'\n");
    }
    {
        ArtFolder dir(legend + "picture p 3 2 l\n.X.\n.X\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":7: row 1 of 'p' has 2 characters, not 3\n");
    }
    {
        ArtFolder dir(legend + "picture p 3 3 l\n.X.\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":7: the picture 'p' ends after 1 of 3 rows\n");
    }
    {
        ArtFolder dir("legend l\nX no.such.colour\nend\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":2: no colour named 'no.such.colour' in the palette\n");
    }
    {
        ArtFolder dir("picture p 1 1 nolegend\nX\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":1: no legend named 'nolegend' before this picture\n");
    }
    {
        ArtFolder dir(legend + "legend l\nend\n");
        EXPECT_EQ(Check(dir), "korvan_resgen: " + dir / "bad.txt" + ":5: the legend 'l' is given twice\n");
    }
}

TEST(Art, AMissingPictureIsNamed) {
    // The palette alone: the font is the first thing made and its first glyph is missing.
    ArtFolder dir("");
    EXPECT_EQ(Check(dir), "korvan_resgen: no picture named 'glyph.00'\n");
}
