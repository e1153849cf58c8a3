package org.example.hello;

import org.example.greeting.Greeting;

public final class Main {
    private Main() {
    }

    public static void main(String[] args) {
        Greeting.greet(args.length > 0 ? String.join(" ", args) : "Maven user");
    }
}
