package com.velmora.runtime.launcher;

import com.kestro.runtime.internal.FirstRunMarker;

/**
 * The first-run hook of a velmora installation. The launcher calls {@link #firstRun()}
 * before the application's main class whenever the marker ".velmora/firstrun" exists
 * below the application directory.
 */
public final class FirstRun {
    private FirstRun() {
    }

    /**
     * Removes the marker and sets the system property "kestro.firstRun" to "true", so
     * that the application does its first-run work in its own main method.
     *
     * @return always true: the start goes on
     */
    public static boolean firstRun() {
        return FirstRunMarker.consume(FirstRun.class);
    }
}
