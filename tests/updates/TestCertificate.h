#pragma once

#include <QSslCertificate>
#include <QSslKey>

namespace DewlightUpdates::Testing {

// A self-signed certificate for 127.0.0.1 and localhost, made fresh for each test run.
struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;

    static TestCertificate make();
};

} // namespace DewlightUpdates::Testing
