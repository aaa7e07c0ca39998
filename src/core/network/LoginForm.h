#pragma once
// Whether an answer is the marketplace's login page, by what it asks for
// rather than by its address or its footer: a password field, a form that
// posts to the login address, or the marketplace's user-name field. A page that carries the site's footer
// or is served in place of the one asked for is told all the same.

#include <QStringView>

bool ShowsLoginForm(QStringView page);
