#include "engine/headless/dvdcommandline.h"

#include "base/errors.h"
#include "base/localpath.h"
#include "base/plainfile.h"
#include "engine/headless/titlesnapshot.h"
#include "engine/source/dvdsource.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace DvdCommandLine
{

namespace
{

constexpr int kFailed = 1;
constexpr int kUsage = 2;

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// The output file's name by its bytes, as it was given.
AppError outputError(const QString &path, const QString &reason)
{
    return AppError(
        ErrorNumbers::kFileError,
        QStringLiteral("The picture could not be written to \"%1\": %2.").arg(path, reason));
}

int usage(const QString &problem)
{
    printError(problem);
    printError(QStringLiteral("usage: vidora --dvd-info SOURCE\n"
                              "       vidora --dvd-snapshot SOURCE --title T --at SECONDS "
                              "[--subtitle N] --out FILE.png"));
    return kUsage;
}

QJsonArray audioJson(const std::vector<AudioStreamInfo> &streams)
{
    QJsonArray list;
    for (const AudioStreamInfo &stream : streams)
        list.append(QJsonObject{{"stream", stream.stream},
                                {"lang", stream.lang},
                                {"language", stream.language},
                                {"format", stream.format},
                                {"channels", stream.channels}});
    return list;
}

QJsonArray subpicturesJson(const std::vector<SubpictureStreamInfo> &streams)
{
    QJsonArray list;
    for (const SubpictureStreamInfo &stream : streams)
        list.append(QJsonObject{
            {"stream", stream.stream}, {"lang", stream.lang}, {"language", stream.language}});
    return list;
}

QJsonObject discJson(const DiscInfo &disc)
{
    QJsonArray titles;
    for (const TitleInfo &title : disc.titles) {
        QJsonObject entry{{"title", title.title},
                          {"readable", title.unreadable.isEmpty()},
                          {"chapters", title.chapters},
                          {"duration_seconds", double(title.duration90k) / 90000.0},
                          {"angles", title.angles},
                          {"audio", audioJson(title.audio)},
                          {"subpictures", subpicturesJson(title.subpictures)}};
        if (!title.unreadable.isEmpty())
            entry.insert(QStringLiteral("reason"), title.unreadable);
        titles.append(entry);
    }
    return QJsonObject{{"disc_id", disc.discId}, {"titles", titles}};
}

// The value after `option`, removed from the list with it; nothing when
// the option is absent.
std::optional<QString> takeOption(QStringList &arguments, const QString &option)
{
    const qsizetype at = arguments.indexOf(option);
    if (at < 0)
        return std::nullopt;
    if (at + 1 >= arguments.size())
        throw AppError(ErrorNumbers::kInvalidArgument, option + QStringLiteral(" needs a value"));
    const QString value = arguments.at(at + 1);
    // "--out --title" is a forgotten value, not a file named "--title".
    if (value.startsWith(QStringLiteral("--")))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       option + QStringLiteral(" needs a value, not the option ") + value);
    arguments.remove(at, 2);
    if (arguments.contains(option))
        throw AppError(ErrorNumbers::kInvalidArgument, option + QStringLiteral(" is given twice"));
    return value;
}

template <typename Number>
Number parseNumber(const QString &text, const QString &option, Number minimum)
{
    bool ok = false;
    Number value{};
    if constexpr (std::is_integral_v<Number>)
        value = text.toInt(&ok);
    else
        value = text.toDouble(&ok);
    if (!ok || value < minimum || (!std::is_integral_v<Number> && !(value == value)))
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("%1 takes a number of at least %2, not \"%3\"")
                           .arg(option)
                           .arg(minimum)
                           .arg(text));
    return value;
}

SnapshotRequest parseSnapshot(QStringList arguments, QString &output)
{
    SnapshotRequest request;
    const std::optional<QString> title = takeOption(arguments, QStringLiteral("--title"));
    const std::optional<QString> at = takeOption(arguments, QStringLiteral("--at"));
    const std::optional<QString> subtitle = takeOption(arguments, QStringLiteral("--subtitle"));
    const std::optional<QString> out = takeOption(arguments, QStringLiteral("--out"));
    if (!title || !at || !out || out->isEmpty() || arguments.size() != 1)
        throw AppError(ErrorNumbers::kInvalidArgument,
                       QStringLiteral("--dvd-snapshot needs SOURCE, --title, --at and --out"));
    request.source = arguments.front();
    request.title = parseNumber<int>(*title, QStringLiteral("--title"), 1);
    request.seconds = parseNumber<double>(*at, QStringLiteral("--at"), 0.0);
    if (subtitle)
        request.subtitle = parseNumber<int>(*subtitle, QStringLiteral("--subtitle"), 0);
    output = *out;
    return request;
}

} // namespace

int runDvdInfo(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return usage(QStringLiteral("--dvd-info takes exactly one SOURCE"));
    try {
        const ProbedDisc disc = DvdSource::probe(DvdSource::resolve(arguments.front()));
        const QByteArray json = QJsonDocument(discJson(disc.info)).toJson(QJsonDocument::Indented);
        std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        if (!disc.info.anyTitleReadable()) {
            printError(QStringLiteral("No title of %1 can be read.").arg(arguments.front()));
            return kFailed;
        }
        return 0;
    } catch (const AppError &error) {
        printError(error.description());
        return kFailed;
    }
}

int runDvdSnapshot(const QStringList &arguments)
{
    QString output;
    SnapshotRequest request;
    try {
        request = parseSnapshot(arguments, output);
    } catch (const AppError &error) {
        return usage(error.description());
    }
    try {
        // Checked before the work: a FIFO there would block the write for good.
        if (const auto refused = PlainFile::refusal(output))
            throw outputError(output, *refused);
        const QImage picture = renderTitleSnapshot(request);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!picture.save(&buffer, "PNG"))
            throw outputError(output, QStringLiteral("the picture could not be encoded"));
        if (const auto failure = PlainFile::replace(output, png))
            throw outputError(output, *failure);
        return 0;
    } catch (const AppError &error) {
        printError(error.description());
        return kFailed;
    }
}

std::optional<int> run(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << LocalPath::fromBytes(QByteArray(argv[i]));
    if (arguments.isEmpty())
        return std::nullopt;
    const QString mode = arguments.takeFirst();
    if (mode == QStringLiteral("--dvd-info"))
        return runDvdInfo(arguments);
    if (mode == QStringLiteral("--dvd-snapshot"))
        return runDvdSnapshot(arguments);
    return std::nullopt;
}

} // namespace DvdCommandLine
