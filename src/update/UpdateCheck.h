#pragma once

// Asking the download servers for the newest build.

#include <QString>

namespace qm::update {

// Asks each base URL in turn for "<base>Quillmark/version.txt" (3000 ms to connect, 5000 ms
// for the whole answer after that, at most kVersionFileLimit bytes); the first server that answers
// 200 with a version text that is not empty after trimming wins. Then `version` is that text and
// `fileUrl` the URL of this build kind's update file beside it (the portable build in portable
// mode, else the installer), and the result is true. A server that fails in any way is passed over
// silently; false when none answered. Blocks; run it on a worker thread, whose interruption request
// ends it early.
bool FetchServerVersion(QString& version, QString& fileUrl);

} // namespace qm::update
