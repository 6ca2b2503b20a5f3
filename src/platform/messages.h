// The catalogue of the messages the program shows: every text once, keyed by
// its id, beside the English line the command line prints under it. A text
// names its values as {1}, {2}, ...; they are filled in by Compose, so that a
// front end can show each value its own way (the terminal shows the control
// characters of a file name instead of obeying them).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace kw39::platform {

enum class MessageId {
    None,  // a text that is not in the catalogue
    // The run's questions and outcomes.
    YearRejected,
    Confirm,
    YearQuestion,
    YearMismatch,
    Done,
    Checked,
    NothingLoaded,
    Cancelled,
    // The checks of the input set and of the output.
    FolderKindsMissing,
    FolderNothingChosen,
    RequiredMissing,
    InputMissing,
    InputEncoding,
    InputNotPlain,
    InputNotOpened,
    InputWrongKind,
    CompanyMismatch,
    CompanyNotChosen,
    CompanyFileMissing,
    OutputNotChosen,
    OutputIsInput,
    NameControlCharacter,
    NameIsFolder,
    OutputNotPlain,
    OutputFolderMissing,
    CannotCreate,
    ForeignLink,
    LinkChain,
    NotReplaceable,
    SaveFailed,
    SaveFailedAt,
    SaveFailedOverFolder,
    ReportCollision,
    // The parts of an encoding message that say what the file is.
    EncodingUtf16,
    EncodingUtf8,
    EncodingNulBytes,
    EncodingNotShiftJis,
    EncodingDataAfterEnd,
    // Failures of a run.
    ReadFailed,
    WriteFailed,
    TargetChanged,
    InputChanged,
    DataLineMalformed,
    // What is wrong with a malformed data line (the last value of
    // DataLineMalformed).
    LineMoreFields,
    LineFewerKeys,
    LineTooLong,
    ValueTooLong,
    CompanyNameMissing,
    CompanyLineMissing,
    CompanyLineShort,
    OutOfMemory,
    RunFailed,
    // Notes of the reader, the store and the engine.
    FileVanished,
    ColumnUnknown,
    StoreProgramError,
    ConversionTableMissing,
    // The folders of a batch.
    FolderMissing,
    FolderUnreadable,
    NoCompanyFolders,
    SharedOutputName,
    RewriteRefused,
    // The report: the kinds of finding, their details, the outcome lines.
    KindFuyosyaLeftOut,
    KindKyuuyoLeftOut,
    KindShouyoLeftOut,
    KindCodeNotConverted,
    KindRowMissing,
    KindMasterNotFound,
    KindQuoteMismatch,
    KindAmountAbnormal,
    KindInputMissing,
    KindEmployeeUnknown,
    KindLinesIgnored,
    KindFieldOverwritten,
    KindKeyEmpty,
    KindPaymentsMerged,
    FindingFuyosyaLeftOut,
    FindingKyuuyoMonth,
    FindingKyuuyoNoDate,
    FindingKyuuyoDate,
    FindingShouyoNumber,
    FindingCodeBlank,
    FindingCodeReplaced,
    FindingOfDependant,
    FindingRowMissing,
    FindingMasterNotFound,
    FindingAmountAbnormal,
    FindingOddQuotes,
    FindingCommaOutsideQuotes,
    FindingLinesBeforeHeader,
    FindingLinesOfUnknownTable,
    FindingOverwritten,
    FindingKeyEmpty,
    FindingInputMissing,
    FindingEmployeeUnknown,
    FindingPaymentUnmatched,
    FindingBonusAmountsMissing,
    FindingMergedBonus,
    FindingMergedSecondDecember,
    FindingMergedMonth,
    FindingPlace,
    FindingPlaceUnknown,
    TableTax,
    TableResidenceTax,
    TableYearEnd,
    TableDepartments,
    TablePositions,
    TablePayees,
    ReportConverted,
    ReportNotConverted,
    ReportEmployees,
    ReportRun,
    ReportRunWithoutCompany,
    FindingCount,
    NothingToReport,
    // The words of the terminal: labels, notes, the batch's lines, the options.
    ModeStandard,
    ModeSimple,
    StyleWarning,
    StyleConfirm,
    StyleInfo,
    StyleError,
    StyleQuestion,
    LabelSummary,
    LabelMode,
    LabelYear,
    LabelOutput,
    LabelLinkTarget,
    LabelCheckOnly,
    LabelReport,
    LabelOptionToCorrect,
    LabelBatch,
    LabelBatchResult,
    LabelBatchCheckResult,
    LabelNotConverted,
    LabelCannotConvert,
    LabelSkippedNoExport,
    LabelSkippedUnnamed,
    NoDocumentWritten,
    YearOfEachCompany,
    YearFromPayments,
    YearOfToday,
    YearExample,
    ReportHint,
    EmployeeCount,
    EmployeesOf,
    CompanyCount,
    NotCreated,
    BatchConverted,
    BatchCanConvert,
    ResultConverted,
    ResultChecked,
    ResultCheckFailed,
    ResultFailed,
    ResultCancelled,
    ResultNoEmployee,
    ProgressChecking,
    ProgressReading,
    ProgressConverting,
    ProgressWriting,
    NoTerminalToAsk,
    AnswerNotUnderstood,
    AnswerYesOrNo,
    SeeHelpForMore,
    SeeHelpForUsage,
    UnexpectedArgument,
    UnknownOption,
    BatchClash,
    BatchNeedsOutputDir,
    OutputDirWithoutBatch,
    ReportIsOutput,
    OptionTakesNoValue,
    OptionGivenTwice,
    OptionNeedsValue,
    OptionNotShiftJis,
    OptionStandardOutput,
    ModeUnknown,
    // Words of dates and lists, and the desktop program's own messages.
    EraReiwa,
    EraHeisei,
    FileOfFolder,
    AndOthers,
    HostPathNotUnicode,
    HostPathRefused,
    ChosenPathNotUnicode,
    ChosenPathRefused,
    UnexpectedError,
    // The desktop program's guidance, titles and file filters.
    GuidanceHosted,
    GuidanceStandalone,
    FolderInstruction,
    ChooseInputTitle,
    SaveAsTitle,
    CsvFilter,
    XmlFilter,
};

// The Japanese text of `id` (CP932) with its {n} unfilled.
std::string_view JapaneseText(MessageId id);
// Its English line, without parentheses; "" when it has none.
std::string_view EnglishText(MessageId id);

// Whether the value args[index] of `id` is a file or folder name, which a
// terminal shows with its line feeds visible as well.
bool QuotesName(MessageId id, std::size_t index);

// `pattern` with each {n} replaced by args[n - 1], passed through `shown`
// (with its index) when one is given. CP932 aware: a trail byte is never taken for a brace.
std::string Compose(std::string_view pattern, const std::vector<std::string>& args,
                    const std::function<std::string(std::size_t, std::string_view)>& shown = {});

// The text of `id` with its values.
std::string TextOf(MessageId id, const std::vector<std::string>& args = {});

// "text (English)": the text of `id` with its English line in parentheses,
// as the terminal writes its notes and labels.
std::string Glossed(MessageId id, const std::vector<std::string>& args = {});

// A message of the catalogue, its text composed.
Message MakeMessage(MessageId id, MessageStyle style, std::vector<std::string> args = {});

}  // namespace kw39::platform
