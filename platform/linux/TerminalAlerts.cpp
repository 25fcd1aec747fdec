#include "platform/linux/TerminalAlerts.h"

#include <QByteArray>
#include <QString>

#include <unistd.h>

namespace {
constexpr int maximumAttempts = 3;

void write(FILE* output, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, bytes.size(), output);
}

std::optional<QString> readLine(FILE* input) {
    QByteArray line;
    int c = 0;
    while ((c = std::fgetc(input)) != EOF && c != '\n')
        line.append(static_cast<char>(c));
    if (c == EOF && line.isEmpty())
        return std::nullopt;
    return QString::fromLocal8Bit(line).trimmed();
}
} // namespace

TerminalAlerts::TerminalAlerts(FILE* input, FILE* output, std::optional<bool> interactive)
    : m_input(input)
    , m_output(output)
    , m_interactive(interactive.value_or(input && ::isatty(::fileno(input)) == 1)) {}

int TerminalAlerts::cancellingAnswer(const AlertRequest& request) {
    const int count = static_cast<int>(request.buttons.size());
    if (request.cancelButton >= 0 && request.cancelButton < count)
        return request.cancelButton;
    return count > 0 ? count - 1 : 0;
}

int TerminalAlerts::runAlert(const AlertRequest& request) {
    QString text = request.messageText + QLatin1Char('\n');
    if (!request.informativeText.isEmpty())
        text += request.informativeText + QLatin1Char('\n');
    write(m_output, text);
    std::fflush(m_output);
    if (request.buttons.size() < 2)
        return 0;
    if (m_interactive) {
        if (auto answer = askOnTerminal(request))
            return *answer;
    }
    const int answer = cancellingAnswer(request);
    write(m_output, QStringLiteral("(answered “%1”)\n").arg(request.buttons.at(answer)));
    std::fflush(m_output);
    return answer;
}

std::optional<int> TerminalAlerts::askOnTerminal(const AlertRequest& request) {
    QString choices;
    for (qsizetype i = 0; i < request.buttons.size(); ++i)
        choices += QStringLiteral("  %1) %2\n").arg(i + 1).arg(request.buttons.at(i));
    const QString prompt = QStringLiteral("Choose 1-%1 [%2]: ")
                               .arg(request.buttons.size())
                               .arg(request.buttons.constFirst());
    write(m_output, choices);
    for (int attempt = 0; attempt < maximumAttempts; ++attempt) {
        write(m_output, prompt);
        std::fflush(m_output);
        const auto line = readLine(m_input);
        if (!line)
            return std::nullopt;
        if (line->isEmpty())
            return 0;
        bool isNumber = false;
        const int number = line->toInt(&isNumber);
        if (isNumber && number >= 1 && number <= request.buttons.size())
            return number - 1;
        for (qsizetype i = 0; i < request.buttons.size(); ++i) {
            if (request.buttons.at(i).compare(*line, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void TerminalAlerts::beep() {
    if (m_output && ::isatty(::fileno(m_output)) == 1) {
        std::fputs("\a", m_output);
        std::fflush(m_output);
    }
}
