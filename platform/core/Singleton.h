#pragma once
// One instance of a class for the whole process, made on first use under the class's own lock;
// the class's initFile() runs inside that lock, as its one-time setup. Every instance made is
// listed, so Singletons::resetAll() can take them all down again, the last made first (tests).
//
//   class GoldManager : public Singleton<GoldManager> {
//       friend class Singleton<GoldManager>;
//       GoldManager();             // private: getInstance() makes it
//   public:
//       void initFile();
//   };
//   GoldManager::getInstance()->saveGold();
#include <mutex>

class Singletons {
public:
    using Reset = void (*)();
    Singletons() = delete;
    // Destroys every instance made so far, the last made first; an instance made during the
    // teardown of another is taken down too.
    static void resetAll();

private:
    template <class T>
    friend class Singleton;
    static void made(Reset reset);
    static void forget(Reset reset);
};

template <class T>
class Singleton {
public:
    static T* getInstance() {
        std::lock_guard lock(mutex());
        T*& instance = slot();
        if (!instance) {
            T* made = new T();
            made->initFile();
            instance = made;
            Singletons::made(&Singleton::resetInstanceForTesting);
        }
        return instance;
    }

    // Destroys the instance, outside the lock (its teardown may save through other singletons);
    // the next getInstance() makes a fresh one.
    static void resetInstanceForTesting() {
        T* old;
        {
            std::lock_guard lock(mutex());
            old = slot();
            slot() = nullptr;
        }
        Singletons::forget(&Singleton::resetInstanceForTesting);
        delete old;
    }

protected:
    Singleton() = default;

private:
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static T*& slot() {
        static T* instance = nullptr;
        return instance;
    }
};
