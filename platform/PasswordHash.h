#pragma once
#include <QString>

// How the package stores a password it must check but never show: a salted PBKDF2-HMAC-SHA256
// key of the text's UTF-8 bytes, written as
//
//   pbkdf2-sha256$<iterations>$<salt in hex>$<key in hex>
//
// so that whoever reads the settings file or the lesson database learns nothing of the password.

// A new hash of `secret` with a fresh random salt.
QString HashPassword(const QString& secret);

// Whether `stored` has the form of such a hash (anything else is an older, plain entry).
bool IsPasswordHash(const QString& stored);

// Whether `secret` gives the key stored in `hash`. A malformed hash, or one whose iteration
// count lies outside what this package ever writes by a wide margin (a count that would take
// minutes to check), matches nothing.
bool PasswordHashMatches(const QString& secret, const QString& hash);

// The iteration counts a stored hash may have.
constexpr int MinPasswordIterations = 1000;
constexpr int MaxPasswordIterations = 1000000;
