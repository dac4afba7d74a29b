// Builds the Excel report's template workbook from its text description, so the repository
// holds a readable source instead of a binary: templategen <description.tsv> <out.xlsx> [ru]
// With "ru" a cell takes the Russian text of its fifth column, where it has one.
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string &line)
{
    std::vector<std::string> parts;
    std::stringstream ss(line);
    std::string part;
    while (std::getline(ss, part, '\t'))
        parts.push_back(part);
    return parts;
}

std::map<std::string, lxw_format *> makeFormats(lxw_workbook *wb)
{
    std::map<std::string, lxw_format *> f;
    f["title"] = workbook_add_format(wb);
    format_set_bold(f["title"]);
    format_set_font_size(f["title"], 14);
    f["bold"] = workbook_add_format(wb);
    format_set_bold(f["bold"]);
    f["caption"] = workbook_add_format(wb);
    format_set_bold(f["caption"]);
    format_set_align(f["caption"], LXW_ALIGN_LEFT);
    f["value"] = workbook_add_format(wb);
    format_set_align(f["value"], LXW_ALIGN_LEFT);
    f["number"] = workbook_add_format(wb);
    format_set_num_format(f["number"], "0.00");
    format_set_align(f["number"], LXW_ALIGN_LEFT);
    f["head"] = workbook_add_format(wb);
    format_set_bold(f["head"]);
    format_set_border(f["head"], LXW_BORDER_THIN);
    format_set_bg_color(f["head"], 0xD9D9D9);
    format_set_align(f["head"], LXW_ALIGN_CENTER);
    format_set_text_wrap(f["head"]);
    f["grid"] = workbook_add_format(wb);
    format_set_border(f["grid"], LXW_BORDER_THIN);
    format_set_align(f["grid"], LXW_ALIGN_CENTER);
    f["grid2"] = workbook_add_format(wb);
    format_set_border(f["grid2"], LXW_BORDER_THIN);
    format_set_align(f["grid2"], LXW_ALIGN_CENTER);
    format_set_num_format(f["grid2"], "0.00");
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "ru") == 0)) {
        std::fprintf(stderr, "usage: templategen <description.tsv> <out.xlsx> [ru]\n");
        return 2;
    }
    const bool russian = argc == 4;
    std::ifstream in(argv[1]);
    if (!in) {
        std::fprintf(stderr, "templategen: cannot read %s\n", argv[1]);
        return 1;
    }
    lxw_workbook *wb = workbook_new(argv[2]);
    if (!wb) {
        std::fprintf(stderr, "templategen: cannot create %s\n", argv[2]);
        return 1;
    }
    auto formats = makeFormats(wb);
    lxw_worksheet *ws = nullptr;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#')
            continue;
        const auto p = split(line);
        auto format = [&](size_t i) -> lxw_format * {
            if (p.size() <= i || p[i].empty())
                return nullptr;
            auto it = formats.find(p[i]);
            if (it == formats.end()) {
                std::fprintf(stderr, "templategen: line %d: unknown format %s\n", lineNo, p[i].c_str());
                std::exit(1);
            }
            return it->second;
        };
        if (p[0] == "sheet" && p.size() >= 2) {
            ws = workbook_add_worksheet(wb, p[1].c_str());
            worksheet_set_paper(ws, 9); // A4
            continue;
        }
        if (!ws || p.size() < 3) {
            std::fprintf(stderr, "templategen: line %d: malformed\n", lineNo);
            return 1;
        }
        if (p[0] == "width") {
            const lxw_col_t col = lxw_name_to_col(p[1].c_str());
            worksheet_set_column(ws, col, col, std::stod(p[2]), nullptr);
        } else if (p[0] == "cell") {
            const lxw_row_t row = lxw_name_to_row(p[1].c_str());
            const lxw_col_t col = lxw_name_to_col(p[1].c_str());
            const std::string text = russian && p.size() > 4 && !p[4].empty() ? p[4] : p[2];
            if (text.empty())
                worksheet_write_blank(ws, row, col, format(3));
            else
                worksheet_write_string(ws, row, col, text.c_str(), format(3));
        } else if (p[0] == "blank") {
            const lxw_row_t r1 = lxw_name_to_row(p[1].c_str());
            const lxw_col_t c1 = lxw_name_to_col(p[1].c_str());
            const lxw_row_t r2 = lxw_name_to_row_2(p[1].c_str());
            const lxw_col_t c2 = lxw_name_to_col_2(p[1].c_str());
            for (lxw_row_t r = r1; r <= r2; ++r)
                for (lxw_col_t c = c1; c <= c2; ++c)
                    worksheet_write_blank(ws, r, c, format(2));
        } else {
            std::fprintf(stderr, "templategen: line %d: unknown kind %s\n", lineNo, p[0].c_str());
            return 1;
        }
    }
    if (workbook_close(wb) != LXW_NO_ERROR) {
        std::fprintf(stderr, "templategen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
