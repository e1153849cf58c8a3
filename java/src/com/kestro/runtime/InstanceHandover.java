package com.kestro.runtime;

import com.kestro.runtime.internal.HandoverWatcher;
import java.util.Objects;

/**
 * Receives the arguments of later starts of a single-instance application. When the
 * launcher is configured for a single instance, a second start of the same executable does
 * not start the application again: it hands its command-line arguments to the running
 * instance and ends. Register a listener to receive them:
 *
 * <pre>{@code
 * InstanceHandover.addListener(args -> SwingUtilities.invokeLater(() -> openDocuments(args)));
 * }</pre>
 *
 * <p>Each later start's arguments arrive as one array, split as the launcher splits a
 * command line (the quotes removed), in the order the starts handed them over, on a
 * daemon thread of the library's own, never on the caller's thread; a start without
 * arguments arrives as an empty array. Every registered listener receives its own copy of
 * each array. The library takes the arguments from the start of the VM, so that a later
 * start never waits for a listener; those that arrive while no listener is registered are
 * kept for the next one (the latest 100; an older array dropped costs one line on standard
 * error). What a listener throws is written to standard error, and the hand-over goes on.
 *
 * <p>Outside single-instance mode (the launcher did not set "kestro.processCommFile", for
 * example when the application runs from a plain {@code java} command) nothing is watched,
 * and registering a listener does nothing.
 */
public final class InstanceHandover {
    /**
     * Receives the arguments of one later start. A lambda or a method reference serves, as
     * for any interface with one method ({@code java.util.function} is not used, since not
     * every runtime the launcher may choose has it).
     */
    public interface Listener {
        /** The arguments of one later start; the array is the listener's own. */
        void accept(String[] arguments);
    }

    private InstanceHandover() {
    }

    /** Whether later starts hand their arguments to this instance (single-instance mode). */
    public static boolean isAvailable() {
        return watcher() != null;
    }

    /**
     * Registers a listener for the arguments of later starts; the first one registered
     * receives the arrays kept so far. Registering the same listener twice makes it receive
     * each array twice.
     */
    public static void addListener(Listener listener) {
        Objects.requireNonNull(listener, "listener");
        HandoverWatcher w = watcher();
        if (w != null) {
            w.addListener(listener);
        }
    }

    /** Removes one registration of the listener; arrays already being delivered may still reach it. */
    public static void removeListener(Listener listener) {
        HandoverWatcher w = watcher();
        if (w != null) {
            w.removeListener(listener);
        }
    }

    private static HandoverWatcher watcher() {
        return HandoverWatcher.shared();
    }
}
