#pragma once

#include "core/AdapterRun.h"
#include "core/SourceKind.h"

#include <QString>

#include <array>
#include <span>

using PhotoListerFn = void (*)(CPhotoListing& run, int album);

// The variant of a family that has only one.
inline constexpr int kNoVariant = -1;

// One variant of a family (SourceSubKind): the album lister and photo lister a listing chose.
struct ServiceVariant {
    int nSubKind;
    AlbumLister listAlbums;
    PhotoListerFn listPhotos;
};

struct ServiceFamily {
    const char* shortName;    // for the command line
    const char16_t* listText; // the service list entry
    // Prepares the typed address for the family and calls its album lister(s), choosing the
    // variant on the way.
    void (*listAlbums)(CAlbumListing& run, QString& address);
    std::span<const ServiceVariant> variants;
    // The row of the variant a listing that chose none downloads with; -1: none, nothing is
    // downloaded. A family of one variant chooses none (kNoVariant) and downloads with it.
    int nFallbackVariant;
};

// The families in the order of the service list; the index is SourceKind.
const std::array<const ServiceFamily*, kFamilyCount>& ServiceFamilies();

// The family with that short name or index text ("qzone", "3"), or -1.
int FindFamily(const QString& nameOrIndex);

// Secure addresses are pasted as often as plain ones; the services are reached by their
// "http://" form, which is what every mark and recognition fragment expects.
QString ReadAsHttp(const QString& address);

// The family an address names, or current when it names none. Only addresses with "http://"
// are examined; PConline is never recognised.
int RecognizeAddress(const QString& address, int current);

// The variant of a family a listing chose, or null when the family has no such variant.
const ServiceVariant* VariantOf(int kind, int subKind);
// The photo lister of a family's variant, or null when the variant has none.
PhotoLister PhotoListerFor(int kind, int subKind);
