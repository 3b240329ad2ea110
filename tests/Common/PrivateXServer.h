#pragma once

#include <QByteArray>
#include <QProcess>

// A private X server (Xvfb) for as long as the object lives, so nothing reaches the user's
// screen. It keeps a keymap set by one client after that client goes (-noreset).
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer&) = delete;
    PrivateXServer& operator=(const PrivateXServer&) = delete;

    // The value for DISPLAY (":<number>"); empty when Xvfb is missing or did not start.
    const QByteArray& display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
};
