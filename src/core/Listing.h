#pragma once

#include <QString>

// What an album listing learns besides the albums: the family and variant, the address it
// started from, the owner texts that name the download folders and the working texts the
// variant's photo lister needs. A listing fills its own copy on its thread; a download takes a
// copy when it starts, so nothing here is shared between threads.
struct CListing {
    int m_nSourceKind = 0;
    int m_nSubKind = -1; // the variant; -1 while the family chose none
    QString m_strService; // the family's short name ("qzone"), for the files that describe a download
    QString m_strAddress; // as typed when the listing started
    QString m_strOwnerName;
    QString m_strOwnerSubDir;
    QString m_strSourceArg1;
    QString m_strSourceArg2;
};
