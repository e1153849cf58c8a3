package com.kestro.runtime.internal;

import com.kestro.runtime.InstanceHandover;
import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.FileInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.util.ArrayDeque;
import java.util.ArrayList;
import java.util.List;
import java.util.Objects;

/**
 * The first instance's half of a single-instance launcher's hand-over. A later start of
 * the application creates the hand-over file, writes its argument text into it (UTF-16
 * little-endian, no byte-order mark, ended by a line feed), closes it, and waits until
 * the file is gone; starts that come together take turns, so at most one file exists at
 * a time. This class takes each file: reads it, deletes it (which lets that start end),
 * splits its line as the launcher splits a command line, and hands the arguments to the
 * listeners in the order they arrived.
 *
 * <p>The file is looked for by polling. A change notification would save a few
 * milliseconds, but it is not delivered reliably for every file system the temporary
 * directory may be on (network drives, and files written by another system's processes),
 * and a poll of one path every {@link #POLL_MILLIS} ms costs next to nothing.
 *
 * <p>Two threads of their own, both daemons so that they never keep the VM alive, start
 * with the VM in single-instance mode (or with the first listener): one takes the files,
 * so that a later start never waits for the application to register a listener, the
 * other calls the listeners, so that a slow listener never keeps a waiting start
 * waiting. Argument lists that arrive while no listener is registered are kept for the
 * next one added, at most {@link #KEPT_LISTS} of them.
 */
public final class HandoverWatcher {
    /** How often the file is looked for. */
    static final long POLL_MILLIS = 50;
    /**
     * How long a file may stay without its line end, unchanged, before it is removed
     * unread. A live writer writes the whole line at once right after creating the file;
     * a file that stays incomplete this long was left by a start that died, and would stop
     * every later start if it stayed (they wait for it to go, then give up). Its text may
     * be cut anywhere, a path too, so it is never delivered.
     */
    static final long INCOMPLETE_LIMIT_MILLIS = 5_000;
    /** How many lists wait for delivery at most; beyond, the oldest is dropped. */
    static final int KEPT_LISTS = 100;
    /** The longest file a launcher writes: a command line of 32767 UTF-16 units and the line end. */
    static final int MAX_FILE_BYTES = 2 * 32768;

    private static boolean looked;
    private static HandoverWatcher shared;

    private final File file;
    private final long pollMillis;
    private final long incompleteLimitNanos;
    private final int keptLists;

    private final Object lock = new Object();
    private final List<InstanceHandover.Listener> listeners = new ArrayList<>();
    private final ArrayDeque<String[]> arrived = new ArrayDeque<>();
    private boolean started;

    // The incomplete file last seen (by the taking thread only): its size, and since when.
    private long incompleteSize = -1;
    private long incompleteSince;

    public HandoverWatcher(File file, long pollMillis, long incompleteLimitMillis, int keptLists) {
        this.file = Objects.requireNonNull(file, "file");
        this.pollMillis = pollMillis;
        this.incompleteLimitNanos = incompleteLimitMillis * 1_000_000L;
        this.keptLists = keptLists;
    }

    /**
     * The VM's watcher of the file named by "kestro.processCommFile", which a launcher sets
     * in single-instance mode only; null when the property is absent or empty.
     */
    public static synchronized HandoverWatcher shared() {
        if (!looked) {
            looked = true;
            String value = System.getProperty(LauncherProperties.PROCESS_COMM_FILE);
            if (value != null && !value.isEmpty()) {
                shared = new HandoverWatcher(new File(value), POLL_MILLIS, INCOMPLETE_LIMIT_MILLIS, KEPT_LISTS);
            }
        }
        return shared;
    }

    /** Starts the VM's watcher in single-instance mode; does nothing otherwise. */
    static void startShared() {
        HandoverWatcher watcher = shared();
        if (watcher != null) {
            watcher.start();
        }
    }

    /** Starts taking files, once; lists wait for a listener. */
    void start() {
        synchronized (lock) {
            if (!started) {
                started = true;
                daemon("kestro instance hand-over watcher", this::watch).start();
                daemon("kestro instance hand-over delivery", this::deliver).start();
            }
        }
    }

    /** Registers a listener and starts the watching, if it has not begun. */
    public void addListener(InstanceHandover.Listener listener) {
        Objects.requireNonNull(listener, "listener");
        synchronized (lock) {
            listeners.add(listener);
            lock.notifyAll();
        }
        start();
    }

    /** Removes one registration of the listener, if there is one. */
    public void removeListener(InstanceHandover.Listener listener) {
        synchronized (lock) {
            listeners.remove(listener);
        }
    }

    /**
     * Takes the file when it holds a whole line: reads it, deletes it and returns its
     * arguments. Null when there is no file, when its writer is not done yet, when it
     * cannot be read or deleted now (the next call tries again, so a list is returned once
     * and only once its file is gone), and when it is removed unread: too long to be a
     * launcher's, or without its line end for too long.
     */
    String[] take() {
        if (!file.exists()) {
            incompleteSize = -1;
            return null;
        }
        byte[] bytes;
        try {
            bytes = readAtMost(file, MAX_FILE_BYTES + 1);
        } catch (IOException e) {
            // On Windows the writer holds the file without sharing until it has closed it;
            // or the file went since the look above.
            return null;
        }
        // The line end is the file's last character: a line feed inside the argument text
        // (a command line may hold one) is part of an argument.
        String text = utf16le(bytes);
        String unread = null;
        if (bytes.length > MAX_FILE_BYTES) {
            unread = "is longer than " + MAX_FILE_BYTES + " bytes";
        } else if (!text.endsWith("\n")) {
            if (!incompleteForTooLong(bytes.length)) {
                return null;
            }
            unread = "had no line end after " + incompleteLimitNanos / 1_000_000L + " ms";
        }
        // A file that is gone although the deletion failed was removed by its writer, which
        // thought this instance gone; the text is still ours.
        if (!file.delete() && file.exists()) {
            return null;
        }
        incompleteSize = -1;
        if (unread != null) {
            System.err.println("kestro: the instance hand-over file " + file + " " + unread + "; it is removed unread");
            return null;
        }
        return CommandLine.split(text.substring(0, text.length() - 1)).toArray(new String[0]);
    }

    // Never more than `limit` bytes, whatever the file's size.
    private static byte[] readAtMost(File file, int limit) throws IOException {
        ByteArrayOutputStream bytes = new ByteArrayOutputStream();
        try (InputStream in = new FileInputStream(file)) {
            byte[] buffer = new byte[8192];
            for (int n = in.read(buffer); n >= 0 && bytes.size() < limit; n = in.read(buffer)) {
                bytes.write(buffer, 0, Math.min(n, limit - bytes.size()));
            }
        }
        return bytes.toByteArray();
    }

    private boolean incompleteForTooLong(long size) {
        long now = System.nanoTime();
        if (size != incompleteSize) {
            incompleteSize = size;
            incompleteSince = now;
            return false;
        }
        return now - incompleteSince >= incompleteLimitNanos;
    }

    // Unit for unit, so that whatever the writer's command line held arrives unchanged
    // (a lone surrogate too); an odd last byte is half a unit still being written.
    private static String utf16le(byte[] bytes) {
        char[] units = new char[bytes.length / 2];
        for (int i = 0; i < units.length; i++) {
            units[i] = (char) ((bytes[2 * i] & 0xFF) | (bytes[2 * i + 1] & 0xFF) << 8);
        }
        return new String(units);
    }

    private void watch() {
        while (true) {
            try {
                String[] arguments = take();
                if (arguments != null) {
                    keep(arguments);
                }
            } catch (RuntimeException e) {
                System.err.println("kestro: watching the instance hand-over file " + file + " failed; going on");
                e.printStackTrace();
            }
            try {
                Thread.sleep(pollMillis);
            } catch (InterruptedException e) {
                // Nobody but the VM interrupts this thread; the watching goes on.
            }
        }
    }

    // Later starts never wait for delivery, so an application that never registers a
    // listener (or a listener that never returns) must not make the lists grow for ever.
    private void keep(String[] arguments) {
        synchronized (lock) {
            if (arrived.size() >= keptLists) {
                arrived.removeFirst();
                System.err.println("kestro: " + keptLists + " argument lists of later starts wait for an instance"
                        + " hand-over listener; the oldest is dropped");
            }
            arrived.addLast(arguments);
            lock.notifyAll();
        }
    }

    private void deliver() {
        while (true) {
            String[] arguments;
            List<InstanceHandover.Listener> targets;
            synchronized (lock) {
                while (arrived.isEmpty() || listeners.isEmpty()) {
                    try {
                        lock.wait();
                    } catch (InterruptedException e) {
                        // as above: go on waiting
                    }
                }
                arguments = arrived.removeFirst();
                targets = new ArrayList<>(listeners);
            }
            for (InstanceHandover.Listener listener : targets) {
                try {
                    listener.accept(arguments.clone());
                } catch (Throwable t) {
                    System.err.println("kestro: an instance hand-over listener failed; the others go on");
                    t.printStackTrace();
                }
            }
        }
    }

    private static Thread daemon(String name, Runnable body) {
        Thread thread = new Thread(body, name);
        thread.setDaemon(true);
        return thread;
    }
}
