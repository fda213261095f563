#pragma once

// Declared apart from its bodies: the test data holds raw strings that moc cannot tokenize.

#include <QObject>

class TestRegWriter : public QObject {
    Q_OBJECT

private slots:
    void exampleWithoutOptions();
    void exampleWithOptions();
    void keyOptions_data();
    void keyOptions();
    void installModeOptions_data();
    void installModeOptions();
    void minVersionTexts();
    void innoEscaping();
    void safeLines_data();
    void safeLines();
    void dataTypes_data();
    void dataTypes();
    void ansiHexText();
    void deletions();
    void notConvertible_data();
    void notConvertible();
    void commentsNeverEndInBackslash();
    void keyPaths();
    void rootThatWouldAddParameters();
    void emptyExport();
};
