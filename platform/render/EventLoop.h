#pragma once
// Internal: the event loop of the windowed application (see EventLoop.cpp for the frame order).
class Application;
class WindowDisplay;

class EventLoop {
public:
    EventLoop(Application& app, WindowDisplay& display);
    int run();

private:
    Application& app_;
    WindowDisplay& display_;
};
