// Calculation files (.humidora): what the user entered and chose in the main window, in a small versioned
// JSON document. Opening a file yields the inputs or a clear refusal, never something half-read; saving
// replaces the earlier file atomically or leaves it untouched. The layout is described in
// docs/file_format.md.
#pragma once

#include "calc/document/calculation.h"
#include "calc/units/ambient_controls.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace humidora {

/// Value of the "format" member that marks a calculation file.
inline constexpr char kCalculationFormat[] = "humidora-calculation";
/// The newest format version this build reads and writes. A calculation of the main window's inputs
/// alone is written as version 1; one with state points, processes or properties as version 2.
inline constexpr int kCalculationFormatVersion = 2;
/// File name extension, without the dot.
inline constexpr char kCalculationExtension[] = "humidora";
/// Largest file that is read at all: a calculation is well under a kilobyte; the limit only keeps a wrong
/// pick in the file dialog (a video, a disk image) from being loaded into memory.
inline constexpr qint64 kCalculationFileLimit = 1024 * 1024;
/// Longest input text accepted: the longest text a one-line box of the window can hold.
inline constexpr int kInputTextLimit = 32767;
/// Most points and processes a calculation holds, longest name of a point, longest project or engineer,
/// longest notes: far beyond any real use, they keep a hostile file from taking the window down.
inline constexpr std::size_t kPointLimit = 1000;
inline constexpr std::size_t kProcessLimit = 1000;
inline constexpr int kPointNameLimit = 200;
inline constexpr int kPropertyTextLimit = 1000;
inline constexpr int kNotesLimit = 100000;

/// Outcome of reading a calculation: the calculation, or why it was refused.
struct CalculationRead
{
    std::optional<Calculation> calculation;
    QString problem; ///< set when calculation is empty: one sentence, no file name

    explicit operator bool() const { return calculation.has_value(); }
};

/// Whether `inputs` can be written to a file and read back unchanged: list selections inside their lists,
/// a humidity option that exists, texts without line breaks or other control characters and no longer
/// than kInputTextLimit, and a unit system consistent with the selections (Metric or British only with
/// that system's item in every list). Returns the problem, or an empty text.
QString InputsProblem(const AmbientInputs& inputs);

/// The state a window shows, as JSON: "quantities" (for each quantity its text, unit, role "input",
/// "computed" or "refused", and the limit labels "min" and "max" where it has them) and the "listing"'s
/// lines. A file keeps it as its "shown_results"; humidora-cli state --json prints it with a few members
/// more.
QJsonObject ShownStateJson(const AmbientControls& shown);

/// Whether the whole calculation can be written and read back unchanged: its inputs (InputsProblem), at
/// most kPointLimit points with unique one-line names, positive flows and inputs of their own, at most
/// kProcessLimit processes each with the points its kind takes and one complete form of its parameters
/// (finite numbers), and properties within their limits (line breaks only in the notes). A process may
/// name a point that is no longer there: the window keeps it, refused, until a point of that name
/// returns. Returns the problem, or an empty text.
QString CalculationProblem(const Calculation& calculation);

/// The document for `calculation`: version 1 when it holds the inputs alone, else version 2 with its
/// points, processes and properties. With `shown`, the shown texts of every quantity and the listing are
/// added for people and programs that read the file; they are never read back.
QByteArray CalculationJson(const Calculation& calculation, const AmbientControls* shown = nullptr);

/// Reads a document: strict about its structure (format marker, version, every member present exactly
/// once with the right type, unit keys spelled exactly as the lists show them), indifferent to the
/// values of the input texts (an out-of-range or non-numeric text is a valid calculation that the window
/// shows refused, as if typed).
CalculationRead ParseCalculation(const QByteArray& json);

/// Reads the file at `path` (at most kCalculationFileLimit bytes). The problem of a refusal names the file.
CalculationRead ReadCalculationFile(const QString& path);

/// Writes a calculation atomically: the new content goes to a temporary file in the same folder that
/// replaces `path` only once it is complete, so a failure (no permission, disk full, folder gone) leaves
/// an earlier file byte for byte as it was. Returns an empty text on success, else a message that names
/// the file and the reason.
QString WriteCalculationFile(
    const QString& path, const Calculation& calculation, const AmbientControls* shown = nullptr);

/// The name of the first member that occurs twice in one object of a syntactically valid JSON text, or
/// nothing. (Qt's reader silently keeps the last of duplicates; a calculation file must not be ambiguous.)
std::optional<QString> DuplicateJsonMember(const QByteArray& json);

} // namespace humidora
