#pragma once

#include "core/pickers/UtilityPerformer.h"
#include "core/routing/RoutingPipeline.h"
#include "tests/support/FakePickerPresenter.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/FakeRoutingCollaborators.h"
#include "tests/support/RoutingTestSupport.h"

#include <QTemporaryDir>
#include <memory>

inline const QString browser = QStringLiteral("org.example.Browser");

inline Route markdown() {
    return route(QStringLiteral("markdown"), QStringLiteral("Markdown"), "md");
}
inline Route plainText() {
    return route(QStringLiteral("plaintext"), QStringLiteral("Plain Text"), "txt");
}

// The routing pipeline on the fake platform over a routes file, recording what it does.
struct PipelineHarness {
    QTemporaryDir dir;
    FakePlatform fake;
    FakePickerPresenter pickers;
    UtilityPerformer utilities{fake.platform()};
    std::unique_ptr<RouteStore> store;
    std::unique_ptr<RoutingPipeline> pipeline;
    FakeRoutingCollaborators seams{fake.workspace};
    QStringList& history = seams.history;

    explicit PipelineHarness(const QList<Route>& routes = {markdown(), plainText()}) {
        for (const QString& id : {alpha, beta})
            fake.workspace.install({id, id.section(u'.', -1), {}, {}, {}, {}});
        fake.workspace.install({browser, "Browser", {}, {}, {"http", "https"}, {}});
        fake.types.addType("text/x-rst", {"rst"}, {"text/plain"}, "reStructuredText");
        fake.types.addType("text/x-org", {"org"}, {"text/plain"}, "Org document");
        use(routes);
    }
    void use(const QList<Route>& routes) {
        pipeline.reset();
        writeRoutes(dir.filePath(QStringLiteral("routes.json")), routes);
        store = std::make_unique<RouteStore>(fake.types, fake.workspace,
                                             dir.filePath(QStringLiteral("routes.json")));
        pipeline = std::make_unique<RoutingPipeline>(fake.platform(), *store, pickers, utilities,
                                                     seams.collaborators());
        pipeline->setRecorder(seams);
    }
    QList<QUrl> files(const QStringList& names) { return touchFiles(dir.path(), names); }
    // Everything the run did, as the user would notice it.
    QStringList outcome() const {
        QStringList out;
        for (const FakeWorkspace::OpenCall& call : fake.workspace.openCalls()) {
            QStringList names;
            for (const QUrl& url : call.urls)
                names << (url.isLocalFile() ? url.fileName() : url.toString());
            const QString id = fake.workspace.bundleIDForLocation(call.location).value_or("?");
            out << id.section(u'.', -1) + ": " + names.join(u' ');
        }
        for (const QUrl& url : fake.workspace.openedURLs)
            out << QString::fromUtf8(url.toEncoded());
        for (const AlertRequest& alert : fake.alerts.shown)
            out << alert.messageText + " / " + alert.informativeText;
        if (fake.alerts.beeps > 0)
            out << QStringLiteral("beep x%1").arg(fake.alerts.beeps);
        if (!fake.clipboard.text.isEmpty())
            out << QStringLiteral("copied ") + fake.clipboard.text.section(u'/', -1);
        return out + seams.events;
    }
    const QList<QUrl>& released() const { return fake.workspace.stoppedAccessing; }
};
