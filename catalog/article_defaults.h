#pragma once
// The values a new catalog article starts with: the seven accounts it is booked on and its VAT
// coefficient. They are fixed for the life of the module; a person changes them per article.
#include <QString>

inline const QString kDefaultContMarfa = QStringLiteral("371");
inline const QString kDefaultContCheltuieli = QStringLiteral("607");
inline const QString kDefaultContTVAIntrari = QStringLiteral("4426");
inline const QString kDefaultContTVAIesiri = QStringLiteral("4427");
inline const QString kDefaultContVenituri = QStringLiteral("707");
inline const QString kDefaultContAdaos = QStringLiteral("378");
inline const QString kDefaultContAccize = QStringLiteral("446");
inline constexpr double kDefaultCoefTVA = 19;
