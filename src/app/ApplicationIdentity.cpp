#include "app/ApplicationIdentity.h"

#include "VersionRecord.h"

ApplicationIdentity ApplicationIdentity::current() {
    ApplicationIdentity identity;
    identity.title = QString::fromUtf8(VersionRecord::ProductName);
    identity.productName = QString::fromUtf8(VersionRecord::ProductName);
    identity.fileDescription = QString::fromUtf8(VersionRecord::FileDescription);
    identity.companyName = QString::fromUtf8(VersionRecord::CompanyName);
    identity.major = VersionRecord::Major;
    identity.minor = VersionRecord::Minor;
    identity.revision = VersionRecord::Revision;
    return identity;
}

QString versionNumbers(const ApplicationIdentity& identity) {
    return QStringLiteral("%1.%2.%3")
        .arg(identity.major)
        .arg(identity.minor)
        .arg(identity.revision);
}

QString windowCaption(const ApplicationIdentity& identity) {
    return identity.fileDescription + QStringLiteral(", Vers. ") + versionNumbers(identity) +
           QStringLiteral(", From ") + identity.companyName;
}
