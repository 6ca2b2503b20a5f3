// The export header and the three master files: company (with positions),
// residence-tax payees and departments.
#include <string>

#include "generator.h"
#include "pca_tables.h"
#include "pools.h"
#include "set_files.h"

namespace kw39::gen {

void WriteExportHeader(CsvOut& out, const char* kind) {
    out.Section(kHeader.code, kHeader.columns);
    out.Text(kCompanyCode);
    out.Text(kCompanyName);
    out.Text(kind);
    out.Text("PCA給与X");
    out.Raw("1.00");
    out.Raw("0");
    out.Text("年末調整用エクスポート");
    out.Number(kPayYear * 10000 + 1215);
    out.Raw("5");
    out.EndLine();
}

void WriteCompanyFile(CsvOut& out) {
    WriteExportHeader(out, "会社情報");
    out.Section(kCompany.code, kCompany.columns);
    out.Text(kCompanyCode);
    out.Text(kCompanyName);
    out.Text("カブシキガイシャソフトヒョウケイサンサービス");
    out.Raw("135-0021");
    out.Text("東京都江東区深川2-4-10");
    out.Text("表計算センタービル,8F");
    out.Text("トウキョウトコウトウクフカガワ");
    out.Text("ヒョウケイサンセンタービル");
    out.Raw("03-5555-0101");
    out.Raw("03-5555-0102");
    out.Text("曽我");
    out.Text("圭");
    out.Text("ソガ");
    out.Text("ケイ");
    out.Raw("01234");
    out.Raw("56789012");
    out.Raw("5");
    out.Raw("6");
    out.Text("給与明細書です。ご確認ください。");
    out.Text("賞与明細書です。表彰金,寸志を含みます。");
    out.EndLine();

    out.Section(kPositions.code, kPositions.columns);
    for (const Position& position : Positions()) {
        out.Raw(position.code);
        out.Text(position.name);
        out.Raw(position.kubun);
        out.Text(position.reportKind);
        out.Raw(position.reportKind[0] != '\0' ? "1" : "0");
        out.EndLine();
    }
}

void WritePayeeFile(CsvOut& out) {
    WriteExportHeader(out, "住民税納付先");
    out.Section(kPayees.code, kPayees.columns);
    int account = 1000001;
    for (const Municipality& place : Municipalities()) {
        const bool unused = place.address[0] == '\0';
        out.Raw(place.code);
        out.Text(place.name);
        out.Text(place.kana);
        out.Raw(unused ? "" : std::to_string(account++));
        out.Text(unused ? "" : std::string(place.name) + "会計管理者");
        out.Raw(unused ? "" : std::string(place.code) + "001");
        out.Raw(std::string(place.postal) + "-0001");
        out.Text(place.address);
        out.Text(unused ? "" : "市役所本庁舎,税務課");
        out.EndLine();
    }
}

void WriteDepartmentFile(CsvOut& out, const Company& company) {
    WriteExportHeader(out, "部門");
    out.Section(kDepartments.code, kDepartments.columns);
    const auto names = DepartmentNames();
    for (int i = 0; i < company.departmentCount; ++i) {
        const NamePart& base = names[static_cast<std::size_t>(i) % names.size()];
        const int round = i / static_cast<int>(names.size());
        std::string name = base.kanji;
        std::string kana = base.kana;
        if (round > 0) {
            // Later departments of the same kind are numbered groups.
            name += " 第" + std::to_string(round + 1) + "グループ";
            kana += " ダイ" + std::to_string(round + 1) + "グループ";
        }
        out.Text(company.departmentCodes[static_cast<std::size_t>(i)]);
        out.Text(name);
        out.Text(kana);
        out.Raw(i % 4 == 3 ? "002" : "001");
        out.EndLine();
    }
}

}  // namespace kw39::gen
