#include "formats/PageScreen.h"

#include <gtest/gtest.h>

#include <string>

namespace scenova::formats {
namespace {

std::string Times(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        all += text;
    }
    return all;
}

// Each row is a page and a word of why it is refused ("" for shown). Every
// refused page nests at least nine tables in Qt's reading of it, or passes
// another limit, however it hides that; the shown ones are laid out at once.
TEST(PageScreen, RefusesCostlyPagesHoweverWritten) {
    const std::string cell = "<table><tr><td>";
    const struct {
        std::string page;
        const char* why;
    } rows[] = {
        {Times(cell, 8) + "x", ""},
        {"<table>" + Times("<tr><td>word</td><td><a href='a.htm'>a</a></td></tr>", 300), ""},
        {Times("<p>" + std::string(60000, 'x'), 4), ""},
        {Times(cell, 9), "tables"},
        // Cells and rows outside their own make tables of their own.
        {"<table>" + Times("<tr></tr><td>", 9), "tables"},
        // Closes the reader does not see: in a comment, a value, a tag.
        {Times(cell + "<!-- a > b </table> -->", 9), "tables"},
        {Times(cell + "<p title=\"a>b</table>\">", 9), "tables"},
        {Times(cell + "<p </table>", 9), "tables"},
        // A paragraph closes the one it is in: this close then closes none.
        {Times("<p><b><p>" + cell + "</b>", 9), "tables"},
        // Names read otherwise, and restyled elements, count as tables.
        {Times("<\"table\"><tr><td>", 9), "tables"},
        {Times("<t&#97;ble><tr><td>", 9), "tables"},
        {"<p style=\"display:inline\"><table><tr>" + Times("<td>x", 9), "tables"},
        {"<style>@import 'a.css';</style><table><tr>" + Times("<td>x", 9), "tables"},
        {Times("<div>", 65), "deep"},
        {Times("<li><p>", 33), "deep"},
        {Times("<br>", 4097), "4096 tags"},
        {"<ul>" + Times("<li>x", 1025), "list"},
        {"<p>" + std::string(65537, 'x'), "break"},
        {std::string((256 << 10) + 1, ' '), "larger"},
    };
    for (const auto& row : rows) {
        const std::string why = WhyPageIsCostly(row.page);
        EXPECT_EQ(why.empty(), *row.why == 0) << row.page.substr(0, 80) << ": " << why;
        EXPECT_NE(why.find(row.why), std::string::npos) << row.page.substr(0, 80) << ": " << why;
    }
}

TEST(PageScreen, TextIsThePagesWordsBounded) {
    EXPECT_EQ(PageText("<h1>Help</h1><!-- <b>no</b> --><p>Fish &amp; chips&#33; <i>now</i>", 100),
              "Help\nFish & chips! now");
    EXPECT_EQ(PageText("<p>caf\xc3\xa9", 4), "caf");
}

}  // namespace
}  // namespace scenova::formats
