// The catalogue of the PCA給与X tables this program understands. Column names
// are the exporter's own, byte for byte (ASCII and full-width spaces, digits and
// brackets exactly as they are); the duplicate name at positions 31 and 32 of
// 10701 is the exporter's as well, so a lookup of that name reaches position 32.
#include "pca/catalogue.h"

#include <atomic>
#include <deque>
#include <memory>
#include <string>

namespace kw39 {

namespace {

// One entry of a table definition: a single column, or a run of columns whose
// names differ only in a counting number ("給与支給項目1" to "給与支給項目50").
struct ColumnDef {
    const char* name;  // the whole name, or the text before the number of a run
    int width;
    bool key = false;
    int first = 0;  // numbers of a run; both 0 for a single column
    int last = 0;
    const char* suffix = "";  // text after the number of a run
};

ColumnDef Col(const char* name, int width) { return {name, width}; }
ColumnDef Key(const char* name, int width) { return {name, width, true}; }
ColumnDef Run(const char* prefix, int first, int last, int width, const char* suffix = "") {
    return {prefix, width, false, first, last, suffix};
}

struct TableDef {
    const char* code;
    std::vector<ColumnDef> columns;
};

// Key columns always lead their table: the reader builds row keys from the
// leading fields of a line.
std::vector<TableDef> TableDefinitions() {
    return {
        {"10000",
         {
             Col("会社コード", 4),
             Col("会社名", 40),
             Col("データ種類名", 10),
             Col("システム名", 20),
             Col("プログラムVer.", 5),
             Col("プログラムRev.", 5),
             Col("コメント", 20),
             Col("作成日", 8),
             Col("データバージョン", 5),
         }},
        {"10101",
         {
             Col("会社コード", 4),
             Col("会社名", 40),
             Col("会社名フリガナ", 40),
             Col("郵便番号", 8),
             Col("住所１", 40),
             Col("住所２", 40),
             Col("住所フリガナ1", 40),
             Col("住所フリガナ2", 40),
             Col("TEL", 26),
             Col("FAX", 26),
             Col("代表者 姓", 20),
             Col("代表者 名", 20),
             Col("代表者 姓フリガナ", 20),
             Col("代表者 名フリガナ", 20),
             Col("署番号", 5),
             Col("整理番号", 8),
             Col("部門コード桁数", 1),
             Col("社員コード桁数", 1),
             Col("明細書の摘要文 給与", 80),
             Col("明細書の摘要文 賞与", 80),
         }},
        {"10103",
         {
             Key("役職コード", 3),
             Col("役職名", 20),
             Col("区分", 1),
             Col("給与支払報告書の設定 種別", 10),
             Col("給与支払報告書の設定 役職名を出力", 1),
         }},
        {"10501",
         {
             Key("市区町村コード", 6),
             Col("住民税納付先役所名", 20),
             Col("フリガナ", 35),
             Col("口座番号", 20),
             Col("加入者名", 32),
             Col("指定番号", 15),
             Col("郵便番号", 8),
             Col("住所１", 40),
             Col("住所２", 40),
         }},
        {"10301",
         {
             Key("部門コード", 62),
             Col("部門名", 30),
             Col("部門名フリガナ", 30),
             Col("基本給与体系コード", 3),
         }},
        {"10601",
         {
             Key("社員コード", 13),
             Col("部門コード", 62),
             Col("氏名（姓）", 20),
             Col("氏名（名）", 20),
             Col("フリガナ（姓）", 20),
             Col("フリガナ（名）", 20),
             Col("旧姓", 20),
             Col("旧姓フリガナ", 20),
             Col("氏名変更年月日", 8),
             Col("性別", 1),
             Col("生年月日", 8),
             Col("郵便番号", 8),
             Col("住所１", 40),
             Col("住所２", 40),
             Col("住所１フリガナ", 40),
             Col("住所２フリガナ", 40),
             Col("TEL１", 26),
             Col("TEL２", 26),
             Col("FAX", 26),
             Col("メールアドレス", 128),
             Col("就労状況", 1),
             Col("入社日", 8),
             Col("退職日", 8),
             Col("役職コード", 3),
             Col("役職区分", 1),
             Col("給与体系コード", 3),
             Col("支給日コード", 2),
             Col("給与区分", 1),
             Col("休職事由", 1),
         }},
        {"10603",
         {
             Key("社員コード", 13),
             Col("税区分", 1),
             Col("扶養親族等の数", 2),
             Col("扶養親族等の数自動計算フラグ", 1),
             Col("本人 寡婦（夫）等区分", 1),
             Col("本人 障害者区分", 1),
             Col("本人 勤労学生", 1),
             Col("本人 未成年者", 1),
             Col("本人 死亡退職", 1),
             Col("本人 災害者", 1),
             Col("本人 外国人", 1),
             Col("前職分 前職入力区分", 1),
             Col("前職分 給与額", 9),
             Col("前職分 税額", 9),
             Col("前職分 社会保険合計額", 9),
             Col("配偶者 配偶者区分", 1),
             Col("配偶者 障害者区分", 1),
             Col("配偶者 配偶者の合計所得金額", 8),
             Col("配偶者 配偶者特別控除額", 8),
             Col("扶養親族人数 一般扶養親族", 2),
             Col("扶養親族人数 特定扶養親族", 2),
             Col("扶養親族人数 老人扶養親族同居", 2),
             Col("扶養親族人数 老人扶養親族その他", 2),
             Col("扶養親族人数 16歳未満", 2),
             Col("扶養親族人数 一般障害者", 2),
             Col("扶養親族人数 特別障害者", 2),
             Col("扶養親族人数 同居特別障害者", 2),
             Col("摘要転記", 1),
             Run("摘要", 1, 4, 38),
             Col("前職分 会社名", 30),
             Col("前職分 住所", 60),
             Col("前職分 退職日", 8),
         }},
        {"10611",
         {
             Key("社員コード", 13),
             Col("住民税納付先コード", 6),
             Col("総括表提出先コード", 6),
             Col("住民税入力方法", 1),
             Run("住民税", 1, 13, 7, "月"),
         }},
        {"10615",
         {
             Key("社員コード", 13),
             Col("従たる給与についての扶養控除等申告書の提出", 1),
             Col("世帯主の氏名", 20),
             Col("続柄（世帯主）", 8),
             Col("配偶者の有無", 1),
             Col("扶養人数自動計算フラグ", 1),
             Col("障害者等 左記の内容", 250),
             Col("障害者等 異動月日及び事由", 100),
         }},
        {"10616",
         {
             Key("社員コード", 13),
             Key("扶養親族番号", 2),
             Col("扶養親族氏名（姓）", 20),
             Col("扶養親族氏名（名）", 20),
             Col("続柄", 8),
             Col("生年月日", 8),
             Col("配偶者区分", 1),
             Col("扶養区分", 1),
             Col("障害者区分", 1),
             Col("職業", 20),
             Col("住所又は居所", 60),
             Col("所得の見積額", 10),
             Col("異動月日及び事由", 40),
             Col("備考", 128),
             Col("控除を受ける他の所得者 氏名", 20),
             Col("控除を受ける他の所得者 続柄", 8),
             Col("控除を受ける他の所得者 住所又は居所", 60),
             Col("従たる給与の支払者の名称（氏名）", 40),
             Col("従たる給与の支払者の所在地（住所）", 80),
             Col("健康保険扶養区分", 1),
         }},
        {"10701",
         {
             Key("社員コード", 13),
             Key("支給回", 2),
             Col("支給日", 8),
             Col("要勤務日数", 5),
             Col("要勤務時間", 6),
             Col("出勤日数", 5),
             Col("出勤時間", 6),
             Col("事故欠勤日数", 5),
             Col("病気欠勤日数", 5),
             Col("代休特休日数", 5),
             Col("休日出勤日数", 5),
             Col("有休日数消化", 7),
             Col("有休時間消化", 3),
             Col("有休消化日数", 7),
             Col("残業平日普通時間", 6),
             Col("残業平日深夜時間", 6),
             Col("残業休日普通時間", 6),
             Col("残業休日深夜時間", 6),
             Col("残業法定普通時間", 6),
             Col("残業法定深夜時間", 6),
             Col("残業平日普通時間45 下", 6),
             Col("残業平日普通時間45 超", 6),
             Col("残業平日普通時間60 超", 6),
             Col("残業平日普通時間代休", 6),
             Col("残業平日深夜時間45 下", 6),
             Col("残業平日深夜時間45 超", 6),
             Col("残業平日深夜時間60 超", 6),
             Col("残業平日深夜時間代休", 6),
             Col("残業休日普通時間45 下", 6),
             Col("残業休日普通時間45 超", 6),
             Col("残業休日普通時間60 超", 6),
             Col("残業休日普通時間60 超", 6),
             Col("残業休日深夜時間45 下", 6),
             Col("残業休日深夜時間45 超", 6),
             Col("残業休日深夜時間60 超", 6),
             Col("残業休日深夜時間代休", 6),
             Col("遅刻早退回数", 5),
             Col("遅刻早退時間", 6),
             Run("勤怠時間項目", 1, 10, 6),
             Run("勤怠数値項目", 1, 10, 5),
             Col("扶養親族等の数", 5),
             Col("労災保険対象区分", 1),
             Col("雇用保険対象区分", 1),
             Col("税区分", 1),
             Col("産休育休免除", 1),
         }},
        {"10702",
         {
             Key("社員コード", 13),
             Key("支給回", 2),
             Col("支給日", 8),
             Col("基本給", 9),
             Run("給与支給項目", 1, 50, 9),
             Col("残業平日普通", 9),
             Col("残業平日深夜", 9),
             Col("残業休日普通", 9),
             Col("残業休日深夜", 9),
             Col("残業法定休日", 9),
             Col("残業法定深夜", 9),
             Col("非課税通勤", 9),
             Col("課税通勤", 9),
             Col("遅刻早退控除", 9),
             Col("欠勤控除", 9),
             Col("遡及差額", 9),
             Col("残業普通45 下", 9),
             Col("残業普通45 超", 9),
             Col("残業普通60 超", 9),
             Col("残業普通代休", 9),
             Col("残業深夜45 下", 9),
             Col("残業深夜45 超", 9),
             Col("残業深夜60 超", 9),
             Col("残業深夜代休", 9),
             Col("残業休普45 下", 9),
             Col("残業休普45 超", 9),
             Col("残業休普60 超", 9),
             Col("残業休普代休", 9),
             Col("残業休深45 下", 9),
             Col("残業休深45 超", 9),
             Col("残業休深60 超", 9),
             Col("残業休深代休", 9),
             Col("課税合計", 9),
             Col("非課税合計", 9),
             Col("健康保険料", 9),
             Col("健康保険料 事業主", 9),
             Col("基本保険料", 9),
             Col("基本保険料 事業主", 9),
             Col("特定保険料", 9),
             Col("特定保険料 事業主", 9),
             Col("介護保険料", 9),
             Col("介護保険料 事業主", 9),
             Col("厚生年金保険料", 9),
             Col("厚生年金保険料 事業主", 9),
             Col("厚生年金基金", 9),
             Col("厚生年金基金 事業主", 9),
             Col("確定拠出年金", 9),
             Col("雇用保険料", 9),
             Col("社会保険調整", 9),
             Col("社会保険合計", 9),
             Col("課税対象額", 9),
             Col("所得税", 9),
             Col("住民税", 9),
             Col("税調整", 9),
             Run("給与控除項目", 1, 30, 9),
             Col("現物支給", 9),
             Col("前月調整残", 5),
             Col("当月端数調整", 5),
             Col("支払1", 9),
             Col("支払2", 9),
             Col("支払3", 9),
             Col("銀行振込", 9),
             Col("郵便振込", 9),
             Col("現金支給", 9),
             Col("日給・時給単価", 9),
             Col("雇用保険対象額", 9),
             Col("現物の額 非固定的賃金", 9),
             Col("現物の額 固定的賃金", 9),
             Col("通貨の額 非固定的賃金", 9),
             Col("通貨の額 固定的賃金", 9),
             Col("現物の通勤費", 9),
             Col("通貨の通勤費", 9),
             Col("健康保険 標準報酬月額", 7),
             Col("厚生年金 標準報酬月額", 7),
             Col("健康保険手入力フラグ", 1),
             Col("厚生年金手入力フラグ", 1),
             Col("厚生年金基金手入力フラグ", 1),
             Col("健康保険 標準報酬月額(翌月分)", 7),
             Col("厚生年金 標準報酬月額(翌月分)", 6),
         }},
        {"10705",
         {
             Key("社員コード", 13),
             Key("支給回", 1),
             Col("支給日", 8),
             Col("前月課税対象額", 9),
             Col("賞与税率", 6),
             Col("基準給与額", 9),
             Col("賞与倍率", 7),
             Run("基礎数値項目", 1, 10, 5),
             Col("扶養親族等の数", 1),
             Col("労災保険対象区分", 1),
             Col("雇用保険対象区分", 1),
             Col("税区分", 1),
             Col("産休育休免除", 1),
         }},
        {"10706",
         {
             Key("社員コード", 13),
             Key("支給回", 1),
             Col("支給日", 8),
             Col("賞与額", 9),
             Run("賞与支給項目", 1, 50, 9),
             Col("遡及差額", 9),
             Col("課税合計", 9),
             Col("非課税合計", 9),
             Col("健康保険料", 9),
             Col("健康保険料 事業主", 9),
             Col("基本保険料", 9),
             Col("基本保険料 事業主", 9),
             Col("特定保険料", 9),
             Col("特定保険料 事業主", 9),
             Col("介護保険料", 9),
             Col("介護保険料 事業主", 9),
             Col("厚生年金保険料", 9),
             Col("厚生年金保険料 事業主", 9),
             Col("厚生年金基金", 9),
             Col("厚生年金基金 事業主", 9),
             Col("雇用保険料", 9),
             Col("社会保険調整", 9),
             Col("社会保険合計", 9),
             Col("課税対象額", 9),
             Col("所得税", 9),
             Col("税調整", 9),
             Run("賞与控除項目", 1, 30, 9),
             Col("現物支給", 9),
             Col("賞与調整", 5),
             Col("支払1", 9),
             Col("支払2", 9),
             Col("支払3", 9),
             Col("銀行振込", 9),
             Col("郵便振込", 9),
             Col("現金支給", 9),
             Col("雇用保険対象額", 9),
             Col("支給対象期間", 1),
             Col("現物の額", 9),
             Col("通貨の額", 9),
             Col("健康保険　標準賞与額", 7),
             Col("厚生年金　標準賞与額", 7),
             Col("健康保険手入力フラグ", 1),
             Col("厚生年金手入力フラグ", 1),
             Col("厚生年金基金手入力フラグ", 1),
         }},
        {"10801",
         {
             Key("社員コード", 13),
             Col("年末調整", 1),
             Col("合計表提出", 1),
             Col("扶養控除申告書", 1),
         }},
        {"10802",
         {
             Key("社員コード", 13),
             Col("旧生命保険料", 8),
             Col("一般の生命保険料控除額", 5),
             Col("旧個人年金保険料", 8),
             Col("個人年金保険料控除額", 8),
             Col("旧長期損害保険料", 8),
             Col("地震保険料", 8),
             Col("地震保険料控除額", 8),
             Col("国民年金保険料", 8),
             Col("国民年金基金加入者掛金", 8),
             Col("その他申告による保険料等", 8),
             Col("社会保険料申告控除額", 9),
             Col("独立行政法人中小企業基盤整備機構の共済契約の掛金", 8),
             Col("個人型又は企業型年金加入者掛金", 8),
             Col("心身障害者扶養共済制度に関する契約の掛金", 8),
             Col("給与等からの控除分のうち小規模企業共済等掛金の金額", 8),
             Col("住宅借入金等特別控除額", 8),
             Col("総支給額からの調整額", 9),
             Col("税額からの調整額", 9),
             Col("新生命保険料", 9),
             Col("新個人年金保険料", 9),
             Col("介護医療保険料", 9),
             Col("介護医療保険料控除額", 9),
             Col("社会保険からの調整額", 9),
         }},
        {"10803",
         {
             Key("社員コード", 13),
             Col("給与支給合計", 11),
             Col("給与社保合計", 11),
             Col("給与税額合計", 11),
             Col("賞与支給合計", 11),
             Col("賞与社保合計", 11),
             Col("賞与税額合計", 11),
             Col("総支給合計", 11),
             Col("総税額合計", 11),
             Col("給与所得控除後の給与等の金額", 10),
             Col("社会保険料控除 給与からの控除分", 10),
             Col("配偶者・扶養・基礎・障害者等控除額の合計額", 10),
             Col("所得控除額の合計額", 10),
             Col("差引課税給与所得金額", 10),
             Col("算出所得税額", 10),
             Col("年調年税額", 10),
             Col("差引超過額又は不足額", 10),
             Col("年調所得税額", 10),
         }},
        {"10804",
         {
             Key("社員コート", 13),
             Col("住宅借入金等1回目 居住開始年月日", 8),
             Col("控除の種類1", 1),
             Col("借入金等年末残高1", 8),
             Col("住宅借入金等2回目 居住開始年月日", 8),
             Col("控除の種類2", 1),
             Col("借入金等年末残高2", 8),
             Col("社宅借入金等3回目 居住開始年月日", 8),
             Col("控除の種類", 1),
             Col("借入金等年末残高", 8),
             Col("摘要転記（扶養）", 1),
             Col("摘要転記（前職）", 1),
             Col("摘要転記（住宅借入金等)", 1),
             Col("摘要（扶養）", 152),
             Col("摘要（前職）", 280),
             Col("摘要（住借等）", 160),
             Col("摘要（その他)", 152),
             Col("摘要（市区町村）", 36),
             Col("徴収区分を市区町村提出用に印刷", 1),
             Col("本支店等区分番号", 5),
             Col("住民税徴収区分", 1),
             Col("青色専従区分", 1),
             Col("条約課税免除区分", 1),
         }},
    };
}

class Catalogue {
  public:
    Catalogue() {
        for (const TableDef& def : TableDefinitions()) AddTable(def);
        for (std::size_t i = 0; i < m_aTables.size(); ++i) {
            m_mapByCode.emplace(m_aTables[i].strCode, static_cast<int>(i));
        }
    }
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    const std::vector<PCATABLEINFO>& Tables() const { return m_aTables; }

    int IndexOf(std::string_view code) const {
        const auto it = m_mapByCode.find(code);
        return it == m_mapByCode.end() ? -1 : it->second;
    }

  private:
    void AddTable(const TableDef& def) {
        PCATABLEINFO& table = m_aTables.emplace_back();
        table.strCode = def.code;
        for (const ColumnDef& column : def.columns) {
            if (column.last == 0) {
                AddColumn(table, column.name, column.width, column.key);
                continue;
            }
            for (int n = column.first; n <= column.last; ++n) {
                const std::string& name =
                    m_aRunNames.emplace_back(column.name + std::to_string(n) + column.suffix);
                AddColumn(table, name.c_str(), column.width, column.key);
            }
        }
        BuildIndexes(table);
    }

    static void AddColumn(PCATABLEINFO& table, const char* name, int width, bool key) {
        const int seq = static_cast<int>(table.aColumns.size()) + 1;
        table.aColumns.push_back(PCACOLUMNINFO{seq, key ? 1 : 0, "", name, width});
    }

    // A later column overwrites an earlier one under the same text, so the
    // alias index (every alias is "") ends up with "" -> last column.
    static void BuildIndexes(PCATABLEINFO& table) {
        table.nColumns = static_cast<int>(table.aColumns.size());
        table.nKeyColumns = 0;
        for (int i = 0; i < table.nColumns; ++i) {
            const PCACOLUMNINFO& column = table.aColumns[static_cast<std::size_t>(i)];
            if (column.nKey == 1) ++table.nKeyColumns;
            table.mapAliasIndex[column.pszAlias] = i;
            table.mapNameIndex[column.pszName] = i;
            table.mapNumberIndex[std::to_string(i + 1)] = i;
        }
    }

    // Storage of the expanded run names; a deque never moves its elements, so
    // the pszName pointers into it stay valid.
    std::deque<std::string> m_aRunNames;
    std::vector<PCATABLEINFO> m_aTables;
    std::unordered_map<std::string_view, int> m_mapByCode;
};

const Catalogue& TheCatalogue() {
    static const Catalogue catalogue;
    return catalogue;
}

}  // namespace

int PCATABLEINFO::FindColumn(int nKind, std::string_view column) const {
    const ColumnIndex* index = nullptr;
    switch (nKind) {
        case kLookupAlias:
            index = &mapAliasIndex;
            break;
        case kLookupName:
            index = &mapNameIndex;
            break;
        case kLookupNumber:
            index = &mapNumberIndex;
            break;
        default:
            return -1;
    }
    const auto it = index->find(column);
    return it == index->end() ? -1 : it->second;
}

const std::vector<PCATABLEINFO>& PcaCatalogue() { return TheCatalogue().Tables(); }

int PcaTableIndex(std::string_view code) { return TheCatalogue().IndexOf(code); }

namespace {

// Per table and column, whether FindPcaColumn resolved it.
const std::vector<std::unique_ptr<std::atomic<bool>[]>>& ResolvedFlags() {
    static const std::vector<std::unique_ptr<std::atomic<bool>[]>> flags = [] {
        std::vector<std::unique_ptr<std::atomic<bool>[]>> tables;
        for (const PCATABLEINFO& table : PcaCatalogue()) {
            tables.push_back(std::make_unique<std::atomic<bool>[]>(
                static_cast<std::size_t>(std::max(table.nColumns, 0))));
        }
        return tables;
    }();
    return flags;
}

}  // namespace

PcaColumn FindPcaColumn(std::string_view code, std::string_view name) {
    PcaColumn column;
    column.nTable = PcaTableIndex(code);
    if (column.nTable >= 0) {
        const auto table = static_cast<std::size_t>(column.nTable);
        column.nColumn = PcaCatalogue()[table].FindColumn(kLookupName, name);
        if (column.nColumn >= 0) {
            ResolvedFlags()[table][static_cast<std::size_t>(column.nColumn)].store(true);
        }
    }
    return column;
}

std::vector<int> ResolvedColumns(int table) {
    std::vector<int> columns;
    if (table < 0 || static_cast<std::size_t>(table) >= PcaCatalogue().size()) return columns;
    const auto index = static_cast<std::size_t>(table);
    for (int column = 0; column < PcaCatalogue()[index].nColumns; ++column) {
        if (ResolvedFlags()[index][static_cast<std::size_t>(column)].load()) {
            columns.push_back(column);
        }
    }
    return columns;
}

const PCATABLEINFO* FindPcaTable(std::string_view code) {
    const int index = PcaTableIndex(code);
    return index < 0 ? nullptr : &PcaCatalogue()[static_cast<std::size_t>(index)];
}

bool IsEmployeeTable(const PCATABLEINFO& table) {
    // The masters (10101, 10103, 10301, 10501) come before; codes have five digits.
    return table.nKeyColumns > 0 && table.strCode >= "10601";
}

}  // namespace kw39
